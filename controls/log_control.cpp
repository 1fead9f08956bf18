#include "controls/log_control.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "controls/colorref.h"
#include "platform/core/text.h"
#include "platform/qt/text_contrast.h"
#include "resources/sync_messages.h"

namespace {

// The engine ends its lines with CR LF; one line end is one new line here.
QString WithLineFeeds(std::string_view utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    return text;
}

}  // namespace

CRichEditCtrlGS::CRichEditCtrlGS() : QPlainTextEdit(nullptr), plat::MessageWindow(this) {
    document()->setUndoRedoEnabled(false);  // appends are never undone
    setMaximumBlockCount(kKeptLines);
    MapMessage(WM_SYNC_LOG_LINE, &CRichEditCtrlGS::OnAppendText);
    MapMessage(WM_SYNC_LOG_LINE_W, &CRichEditCtrlGS::OnAppendTextW);
    MapMessage(WM_SETREDRAW, &CRichEditCtrlGS::OnSetRedraw);
}

bool CRichEditCtrlGS::Create(DWORD style, const QRect& rect, QWidget* parent, UINT id) {
    if (!parent) return false;
    setParent(parent);
    id_ = id;
    setGeometry(rect);
    setReadOnly(style & ES_READONLY);
    setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVisible(style & WS_VISIBLE);
    return true;
}

void CRichEditCtrlGS::AppendText(std::string_view utf8, COLORREF colour) {
    Line line{WithLineFeeds(utf8), colour};
    if (redrawHeld_) {
        waiting_.push_back(std::move(line));
        return;
    }
    Insert({std::move(line)});
}

void CRichEditCtrlGS::Insert(const std::vector<Line>& lines) {
    if (lines.empty()) return;
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    // One edit for all of them: the document is laid out once.
    end.beginEditBlock();
    int added = 0;
    for (const Line& line : lines) {
        QTextCharFormat format;
        // A line's colour (red for a failure) stays readable on the look's list colour.
        format.setForeground(plat::ReadableOn(ColorFromRef(line.colour), palette().color(QPalette::Base)));
        end.insertText(line.text, format);
        added += static_cast<int>(line.text.count(QChar('\n')));
    }
    end.endEditBlock();
    // Scrolling by the lines added keeps the newest line in view without re-laying out.
    // (Counted from the text: once the oldest lines go, the line count no longer grows.)
    if (added > 0) verticalScrollBar()->setValue(verticalScrollBar()->value() + added);
}

void CRichEditCtrlGS::OnSetRedraw(WPARAM on, LPARAM) {
    redrawHeld_ = on == 0;
    if (redrawHeld_) return;
    std::vector<Line> lines;
    lines.swap(waiting_);
    Insert(lines);
}

LRESULT CRichEditCtrlGS::OnAppendText(WPARAM text, LPARAM colour) {
    if (const auto* line = reinterpret_cast<const char*>(text)) AppendText(line, static_cast<COLORREF>(colour));
    return 0;
}

LRESULT CRichEditCtrlGS::OnAppendTextW(WPARAM text, LPARAM colour) {
    if (const auto* line = reinterpret_cast<const wchar_t*>(text)) {
        AppendText(plat::WideToUtf8(line), static_cast<COLORREF>(colour));
    }
    return 0;
}
