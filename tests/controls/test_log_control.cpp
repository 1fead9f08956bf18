// The log control: lines from the engine's threads arrive whole and in order, in their
// colours, and the newest line stays in view.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "controls/log_control.h"
#include "platform/qt/text_contrast.h"
#include "resources/sync_messages.h"

namespace {

constexpr COLORREF kBlack = 0;
constexpr COLORREF kRed = 255;

// A red line: red, and moved only as far as it must to be read on the log's colour.
bool IsShownRed(const QColor& colour, const CRichEditCtrlGS& log) {
    return colour.red() > 200 && colour.green() < 40 && colour.blue() < 40 &&
           plat::ContrastRatio(colour, log.palette().color(QPalette::Base)) >= plat::kReadableContrast;
}

std::vector<QString> Lines(const CRichEditCtrlGS& log) {
    std::vector<QString> lines;
    for (QTextBlock b = log.document()->begin(); b.isValid(); b = b.next()) lines.push_back(b.text());
    return lines;
}

// The colours of a line's text, one per format run.
std::vector<QColor> Colours(const QTextBlock& block) {
    std::vector<QColor> colours;
    for (auto it = block.begin(); !it.atEnd(); ++it) colours.push_back(it.fragment().charFormat().foreground().color());
    return colours;
}

LRESULT Send(CRichEditCtrlGS& log, const char* text, COLORREF colour) {
    return SendMessage(log.GetSafeHwnd(), WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(text), colour);
}

TEST(LogControl, LinesFromTwoThreadsKeepTheirOrderAndColours) {
    QWidget pane;
    CRichEditCtrlGS log;
    ASSERT_TRUE(log.Create(ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_HSCROLL, QRect(0, 0, 400, 200),
                           &pane, 48007));
    EXPECT_TRUE(log.isReadOnly());
    EXPECT_EQ(log.ControlId(), 48007u);

    constexpr int kLines = 300;
    std::atomic<int> finished{0};
    auto sender = [&](char name, COLORREF colour) {
        for (int i = 0; i < kLines; ++i) {
            const std::string line = std::string(1, name) + " line " + std::to_string(i) + "\r\n";
            EXPECT_EQ(Send(log, line.c_str(), colour), 0);
        }
        ++finished;
    };
    std::thread black(sender, 'A', kBlack);
    std::thread red(sender, 'B', kRed);
    QElapsedTimer clock;
    clock.start();
    while (finished < 2 && clock.elapsed() < 20000) QApplication::processEvents(QEventLoop::AllEvents, 5);
    black.join();
    red.join();
    ASSERT_EQ(finished, 2);

    int nextA = 0, nextB = 0;
    for (QTextBlock b = log.document()->begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        if (text.isEmpty()) {
            EXPECT_FALSE(b.next().isValid()) << "only the last line after the final line end is empty";
            continue;
        }
        const std::vector<QColor> colours = Colours(b);
        ASSERT_EQ(colours.size(), 1u) << text.toStdString();
        if (text.startsWith("A line ")) {
            EXPECT_EQ(text, QString("A line %1").arg(nextA++));
            EXPECT_EQ(colours[0], QColor(Qt::black));
        } else {
            EXPECT_EQ(text, QString("B line %1").arg(nextB++));
            EXPECT_TRUE(IsShownRed(colours[0], log));
        }
    }
    EXPECT_EQ(nextA, kLines);
    EXPECT_EQ(nextB, kLines);
}

TEST(LogControl, LineEndsJoinAndSplitAsTheSenderWrote) {
    CRichEditCtrlGS log;
    Send(log, "Copying ", kBlack);
    Send(log, "file.txt\r\n", kRed);
    Send(log, "two\r\nlines\r\n", kBlack);
    Send(log, nullptr, kRed);  // no text: nothing appended
    const std::vector<QString> lines = Lines(log);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Copying file.txt");  // a line without its end joins the next text
    EXPECT_EQ(lines[1], "two");
    EXPECT_EQ(lines[2], "lines");
    EXPECT_EQ(lines[3], "");
    const std::vector<QColor> mixed = Colours(log.document()->begin());
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_EQ(mixed[0], QColor(Qt::black));
    EXPECT_TRUE(IsShownRed(mixed[1], log));
}

TEST(LogControl, WideLinesKeepCharactersBeyondEightBits) {
    CRichEditCtrlGS log;
    const std::wstring line = L"Kopiere \u00c4rger \u65e5\u672c \U0001F600\r\n";
    EXPECT_EQ(SendMessage(log.GetSafeHwnd(), WM_SYNC_LOG_LINE_W, reinterpret_cast<WPARAM>(line.c_str()), kRed), 0);
    EXPECT_EQ(Lines(log)[0], QString::fromUtf8("Kopiere \xc3\x84rger \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80"));
    EXPECT_TRUE(IsShownRed(Colours(log.document()->begin())[0], log));
}

TEST(LogControl, TheNewestLineStaysInView) {
    QWidget pane;
    CRichEditCtrlGS log;
    log.Create(ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_VISIBLE, QRect(0, 0, 300, 120), &pane, 1);
    pane.show();
    QScrollBar* bar = log.verticalScrollBar();

    Send(log, "first without end", kBlack);  // no line added: nothing scrolls
    EXPECT_EQ(bar->value(), 0);
    for (int i = 0; i < 100; ++i) Send(log, ("line " + std::to_string(i) + "\r\n").c_str(), kBlack);
    EXPECT_EQ(bar->value(), bar->maximum());

    // Scrolled back by the user, the view still follows by the number of new lines.
    bar->setValue(bar->maximum() - 20);
    Send(log, "a\r\nb\r\n", kBlack);
    EXPECT_EQ(bar->value(), bar->maximum() - 20);
}

// A run holds the log's redraw: its lines wait and come in one go, in order and in their
// colours; and the log keeps only its newest lines, the newest in view.
TEST(LogControl, HeldLinesComeInOneGoAndOnlyTheNewestAreKept) {
    QWidget pane;
    CRichEditCtrlGS log;
    log.Create(ES_MULTILINE | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_VISIBLE, QRect(0, 0, 300, 120), &pane, 1);
    pane.show();
    SendMessage(log.GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
    Send(log, "held\r\n", kBlack);
    Send(log, "failed\r\n", kRed);
    EXPECT_EQ(Lines(log), std::vector<QString>{""});
    SendMessage(log.GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
    ASSERT_EQ(Lines(log), (std::vector<QString>{"held", "failed", ""}));
    EXPECT_TRUE(IsShownRed(Colours(log.document()->begin().next())[0], log));

    SendMessage(log.GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < CRichEditCtrlGS::kKeptLines + 50; ++i) {
        Send(log, ("line " + std::to_string(i) + "\r\n").c_str(), kBlack);
    }
    SendMessage(log.GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
    Send(log, "newest\r\n", kBlack);
    const std::vector<QString> lines = Lines(log);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(CRichEditCtrlGS::kKeptLines));
    EXPECT_EQ(lines[lines.size() - 2], "newest");
    EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
}

TEST(LogControl, NoMessagesReachAGoneControl) {
    HWND hwnd = nullptr;
    {
        CRichEditCtrlGS log;
        hwnd = log.GetSafeHwnd();
        EXPECT_TRUE(IsWindow(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessage(hwnd, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>("x"), 0), 0);
}

}  // namespace
