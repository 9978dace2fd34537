// CCardFileCommands: the window's card files, in its context menus:
// - 保存存储卡映像… / Save Card Image… copies the card into an image file
//   (cardimage/card_save) off the user-interface thread, with progress and
//   cancel, and says where it went and its SHA-256, or why it failed;
// - 打开存储卡映像… / Open Card Image… takes an image as the card in drive E:
//   (the window does that: cardImageChosen);
// - 导出 COMTRADE… / Export COMTRADE… writes the record shown as OUT.cfg and
//   OUT.dat (dialogcore/record_comtrade, as orvanta-card comtrade --at), the
//   record's time in the proposed name.
// The files are asked for and reported as the window's other exports are
// (CRecordExport): the file dialog asks before replacing a file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QObject>
#include <QString>

#include "card/card_reader.h"

class QAction;
class QWidget;

namespace orvanta {

class CBackgroundRunner;
class CRecordExport;

class CCardFileCommands : public QObject {
    Q_OBJECT

public:
    using ReaderOf = std::function<CCardReader&()>;
    using IniPathOf = std::function<std::string()>;

    // `window` parents the actions, dialogs and the copy's progress dialog;
    // it and `exporter` outlive this.
    CCardFileCommands(QWidget* window, CRecordExport& exporter, ReaderOf reader, IniPathOf iniPath);
    ~CCardFileCommands() override;

    QAction* SaveImageAction() const { return saveImageAction_; }
    QAction* OpenImageAction() const { return openImageAction_; }
    QAction* ComtradeAction() const { return comtradeAction_; }

    // The record the last query showed (0: none).
    void SetShownRecord(std::int32_t time);

    // The commands without their file dialogs. The copy runs on: cardSaved
    // reports its end. `replace` lets it replace an existing file (the file
    // dialog has asked). `outBase` is the COMTRADE path without extension.
    void SaveCardImage(const QString& path, bool replace);
    bool ExportComtrade(const QString& outBase);
    // Stops a copy in progress and drops its result (before the window's
    // reader is replaced).
    void StopSave();
    bool IsSaving() const;

signals:
    void cardSaved(const QString& path, bool ok);
    // The user chose an image to take as the card.
    void cardImageChosen(const QString& path);

private:
    QWidget* window_;
    CRecordExport& exporter_;
    ReaderOf reader_;
    IniPathOf iniPath_;
    QAction* saveImageAction_ = nullptr;
    QAction* openImageAction_ = nullptr;
    QAction* comtradeAction_ = nullptr;
    CBackgroundRunner* runner_ = nullptr;
    std::int32_t shownRecord_ = 0;
};

}  // namespace orvanta
