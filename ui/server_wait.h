// CServerWait: the wait for the analysis server's page. It counts the
// seconds since the post for the status line and ends the wait at the same
// limit as orvanta-query's (120 s in all, PostLimits), so that a server that
// accepts and never answers cannot hold the window's buttons.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace orvanta {

class CServerWait : public QObject {
    Q_OBJECT

public:
    explicit CServerWait(QObject* parent = nullptr);

    // The limit for the whole wait, in seconds (at least 1).
    void SetLimit(long seconds);
    long Limit() const { return limitSeconds_; }

    // Starts counting from 0; a running wait starts over.
    void Start();
    void Stop();
    bool Waiting() const;

signals:
    // Once a second while waiting, with the whole seconds waited.
    void tick(qint64 seconds);
    // The limit passed; the wait has stopped.
    void timedOut();

private:
    void OnTick();

    QTimer* ticker_;
    QElapsedTimer elapsed_;
    long limitSeconds_ = 120;
};

}  // namespace orvanta
