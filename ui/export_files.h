// What the window's exports share: the folder they propose (the one used
// last, remembered in the user's settings), the time stamps in the names
// they propose, and the message that says where a file went or why it could
// not be written, shown without blocking the window.
#pragma once

#include <cstdint>

#include <QString>

class QWidget;

namespace orvanta {

// The folder an export proposes: the one of the last file exported, or
// the home folder when there was none or it is gone.
QString LastExportFolder();
// Remembers the folder of `path` for the next export.
void RememberExportFolder(const QString& path);

// "2024-03-14_152000" for 2024-03-14 15:20:00 local standard time.
QString ExportFileStamp(std::int32_t time);

// "已保存到 <path>", or "无法写入文件 <path>" and the cause on a line of its own.
QString ExportOutcomeText(bool ok, const QString& path, const QString& error);
// Shows `text` in a message box that does not block `parent`; a warning
// when the export failed.
void ShowExportOutcome(QWidget* parent, bool ok, const QString& text);

}  // namespace orvanta
