#include "ui/server_wait.h"

#include <QTimer>

namespace orvanta {

CServerWait::CServerWait(QObject* parent) : QObject(parent), ticker_(new QTimer(this)) {
    ticker_->setInterval(1000);
    connect(ticker_, &QTimer::timeout, this, &CServerWait::OnTick);
}

void CServerWait::SetLimit(long seconds) { limitSeconds_ = seconds > 0 ? seconds : 1; }

void CServerWait::Start() {
    elapsed_.start();
    ticker_->start();
    emit tick(0);
}

void CServerWait::Stop() { ticker_->stop(); }

bool CServerWait::Waiting() const { return ticker_->isActive(); }

void CServerWait::OnTick() {
    const qint64 seconds = elapsed_.elapsed() / 1000;
    if (seconds >= limitSeconds_) {
        ticker_->stop();
        emit timedOut();
        return;
    }
    emit tick(seconds);
}

}  // namespace orvanta
