// The print job's sequence and results, and the printable unit's page and cell rules:
// pages that end exactly full, text continued onto new pages, cells of no width.
#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "controls/printing/print_job.h"
#include "controls/printing/print_text_line_parser.h"
#include "controls/printing/print_unit.h"
#include "pdf_text.h"
#include "support/temp_dir.h"

namespace {

// A job whose dialog answers as told and which records the steps it went through.
class ScriptedJob : public GPrintJob {
public:
    int dialogAnswer = IDOK;
    bool chooseFile = false;
    std::string promptAnswer;
    std::vector<std::string> steps;
    std::function<void(ScriptedJob&)> content;

protected:
    int RunPrintDialog() override {
        steps.push_back("dialog");
        if (chooseFile) DialogData().flags |= PD_PRINTTOFILE;
        return dialogAnswer;
    }
    std::string PromptOutputFileName() override {
        steps.push_back("prompt");
        return promptAnswer;
    }
    void ResetCopyCount(bool aborting) override {
        steps.push_back(aborting ? "reset copies (aborting)" : "reset copies");
        GPrintJob::ResetCopyCount(aborting);
    }
    void FinishDocument(bool abort) override {
        steps.push_back(abort ? "abort document" : "end document");
        GPrintJob::FinishDocument(abort);
    }
    void PrintContent() override {
        steps.push_back("content");
        if (content) content(*this);
    }
};

TEST(PrintJob, ADialogNotConfirmedPrintsNothing) {
    qbtest::TempDir dir;
    ScriptedJob job;
    job.dialogAnswer = IDCANCEL;
    job.SetPrintToFileName(dir.sub("out.pdf"));
    EXPECT_EQ(job.Print(), GPrintJob::kNotConfirmed);
    EXPECT_EQ(job.steps, (std::vector<std::string>{"dialog"}));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.sub("out.pdf"))));
    EXPECT_EQ(job.DC(), nullptr);
}

TEST(PrintJob, PrintToFileWithTheFileDialogCancelledGivesThree) {
    ScriptedJob job;
    job.chooseFile = true;
    EXPECT_EQ(job.Print(), GPrintJob::kNoFileName);
    EXPECT_EQ(job.steps, (std::vector<std::string>{"dialog", "prompt"}));
}

TEST(PrintJob, PrintToFileAsksForTheNameAndWritesThere) {
    qbtest::TempDir dir;
    ScriptedJob job;
    job.chooseFile = true;
    job.promptAnswer = dir.sub("chosen.pdf");
    job.content = [](ScriptedJob& j) {
        j.DC()->StartPage();
        j.DC()->Painter().drawText(100, 300, "printed to the chosen name");
    };
    EXPECT_EQ(job.Print(), GPrintJob::kPrinted);
    EXPECT_EQ(job.steps, (std::vector<std::string>{"dialog", "prompt", "content", "end document", "reset copies"}));
    const QStringList pages = qbtest::PdfPages(job.PrintToFileName());
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("printed to the chosen name"));
}

TEST(PrintJob, ADocumentThatCannotStartResetsCopiesAbortsAndGivesTwo) {
    qbtest::TempDir dir;
    ScriptedJob job;
    job.SetPrintToFileName(dir.sub("no such folder/out.pdf"));
    EXPECT_EQ(job.Print(), GPrintJob::kNoPrinter);
    EXPECT_EQ(job.steps, (std::vector<std::string>{"dialog", "reset copies (aborting)", "abort document"}));
    EXPECT_EQ(job.DC(), nullptr);
}

TEST(PrintJob, NoPrinterAndNoFileGivesTwo) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a printer";
    ScriptedJob job;
    EXPECT_EQ(job.Print(), GPrintJob::kNoPrinter);
    EXPECT_EQ(job.steps, (std::vector<std::string>{"dialog"}));
}

TEST(PrintJob, APrinterNamedByTheJobIsUsedOrTheJobFails) {
    // The device comes from the job's printer names: one that does not exist is a failure,
    // never a print that silently goes nowhere.
    ScriptedJob job;
    job.content = [](ScriptedJob&) { ADD_FAILURE() << "nothing may be printed"; };
    job.DialogData().devNames = PrintDeviceNames{"quarrybend-no-such-printer"};
    job.DialogData().devMode = PrintDeviceMode{};
    EXPECT_EQ(job.Print(), GPrintJob::kNoPrinter);
    EXPECT_EQ(job.steps, (std::vector<std::string>{"dialog"}));
}

TEST(PrintJob, ADocumentWithoutPagesLeavesNoFile) {
    qbtest::TempDir dir;
    ScriptedJob job;
    job.SetPrintToFileName(dir.sub("empty.pdf"));
    EXPECT_EQ(job.Print(), GPrintJob::kPrinted);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.sub("empty.pdf"))));
}

TEST(PrintTextLineParser, SplitsPiecesByTheirControlCharacters) {
    const auto lines =
        GPrintTextLineParser::Parse(QString("left\x1f"
                                            "centre\x1e"
                                            "right\nnext"));
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].size(), 3u);
    EXPECT_EQ(lines[0][0].text, "left");
    EXPECT_EQ(lines[0][0].align, PrintTextPiece::Left);
    EXPECT_EQ(lines[0][1].text, "centre");
    EXPECT_EQ(lines[0][1].align, PrintTextPiece::Centre);
    EXPECT_EQ(lines[0][2].text, "right");
    EXPECT_EQ(lines[0][2].align, PrintTextPiece::Right);
    ASSERT_EQ(lines[1].size(), 1u);
    EXPECT_EQ(lines[1][0].text, "next");
    EXPECT_EQ(lines[1][0].align, PrintTextPiece::Left);

    // Doubled control characters are the characters themselves.
    const auto literal =
        GPrintTextLineParser::Parse(QString("a\x1f\x1f"
                                            "b\x1e\x1e"
                                            "c\x1c\x1c"));
    ASSERT_EQ(literal.size(), 1u);
    ASSERT_EQ(literal[0].size(), 1u);
    EXPECT_EQ(literal[0][0].text, QString("a\x1f"
                                          "b\x1e"
                                          "c\x1c"));

    // Dots and right alignment both lead the next piece.
    const auto contents =
        GPrintTextLineParser::Parse(QString("Chapter\x1c\x1e"
                                            "12"));
    ASSERT_EQ(contents[0].size(), 2u);
    EXPECT_TRUE(contents[0][1].dotLeader);
    EXPECT_EQ(contents[0][1].align, PrintTextPiece::Right);
    EXPECT_EQ(contents[0][1].text, "12");

    EXPECT_EQ(GPrintTextLineParser::Parse(QString("\n\n")).size(), 3u);
    EXPECT_TRUE(GPrintTextLineParser::Parse(QString()).at(0).empty());
}

// A unit with fixed line heights that the tests drive directly.
class ProbeUnit : public GPrintUnit {
public:
    using GPrintUnit::EndPage;
    using GPrintUnit::EndRow;
    using GPrintUnit::GPrintUnit;
    using GPrintUnit::NeedNewPage;
    using GPrintUnit::OpenPage;
    using GPrintUnit::PrintColumnText;
    using GPrintUnit::PrintTextClipped;
    using GPrintUnit::PrintTextLines;
    int rowHeight() const { return rowHeight_; }

protected:
    void CreateFonts() override { bodyFont_ = QFont("DejaVu Sans", 10); }
    void MeasureFonts() override {
        lineHeight_ = QFontMetrics(bodyFont_, &job_.DC()->Printer()).height();
        headingLineHeight_ = lineHeight_;
        area_.setHeight(10 * lineHeight_);  // ten lines fill the page exactly
    }
};

// Runs `body` with a unit on a PDF job; returns the number of pages printed.
int PrintWithUnit(const std::string& path, const std::function<void(ProbeUnit&)>& setUp,
                  const std::function<void(ProbeUnit&)>& body) {
    ScriptedJob job;
    job.SetPrintToFileName(path);
    job.content = [&](ScriptedJob& j) {
        ProbeUnit unit(j);
        if (setUp) setUp(unit);
        ASSERT_TRUE(unit.Print());
        j.DC()->Painter().setFont(QFont("DejaVu Sans", 10));
        unit.OpenPage();
        body(unit);
        unit.EndPage();
    };
    EXPECT_EQ(job.Print(), GPrintJob::kPrinted);
    return qbtest::PdfPageCount(path);
}

TEST(PrintUnit, APageThatIsExactlyFullDoesNotEject) {
    qbtest::TempDir dir;
    int ejected = 0;
    int bottom = 0;
    const int pages = PrintWithUnit(
        dir.sub("full.pdf"), [](ProbeUnit& unit) { unit.InsertPrintCol(0, "Name", 1.0); },
        [&](ProbeUnit& unit) {
            for (int row = 0; row < 10; ++row) {
                ejected += unit.NeedNewPage(GPrintUnit::kBodyLine);
                unit.PrintColumnText(0, "x", DT_SINGLELINE);
                unit.EndRow(false);
            }
            bottom = unit.OutputPosition().y();
            EXPECT_EQ(bottom, unit.PrintArea().top() + unit.PrintArea().height());
            EXPECT_FALSE(unit.NeedNewPage(0));
            EXPECT_TRUE(unit.NeedNewPage(1));  // one more unit does not fit
        });
    EXPECT_EQ(ejected, 0);
    EXPECT_EQ(pages, 2);
}

TEST(PrintUnit, TheNextLinePastTheBottomStartsANewPage) {
    qbtest::TempDir dir;
    std::vector<bool> ejected;
    const int pages = PrintWithUnit(
        dir.sub("eleven.pdf"), [](ProbeUnit& unit) { unit.InsertPrintCol(0, "Name", 1.0); },
        [&](ProbeUnit& unit) {
            for (int row = 0; row < 11; ++row) {
                ejected.push_back(unit.NeedNewPage(GPrintUnit::kBodyLine));
                unit.PrintColumnText(0, QString("row %1").arg(row), DT_SINGLELINE);
                unit.EndRow(false);
            }
        });
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(std::count(ejected.begin(), ejected.end(), true), 1);
    EXPECT_TRUE(ejected[10]);
}

TEST(PrintUnit, WrappedCellsContinueOnNewPagesAndNeverLoop) {
    qbtest::TempDir dir;
    QString longText;
    for (int i = 0; i < 400; ++i) longText += QString("word%1 ").arg(i);
    const int pages = PrintWithUnit(
        dir.sub("wrapped.pdf"),
        [](ProbeUnit& unit) {
            unit.InsertPrintCol(0, "Text", 0.3, 0, PCF_RICHTEXT);
            unit.InsertPrintCol(1, "Nothing", 0.0, 0, PCF_RICHTEXT);  // a cell of no width
        },
        [&](ProbeUnit& unit) {
            unit.PrintColumnText(0, longText, DT_WRAPCELL);
            unit.PrintColumnText(1, longText, DT_WRAPCELL);
            EXPECT_GT(unit.rowHeight(), 0);
            unit.EndRow(true);
        });
    EXPECT_GT(pages, 1);
    const QStringList text = qbtest::PdfPages(dir.sub("wrapped.pdf"));
    EXPECT_TRUE(text.join(' ').contains("word0 "));
    EXPECT_TRUE(text.back().contains("word399"));
}

TEST(PrintUnit, ClippedTextAndTheRestColumnStayWithinBounds) {
    qbtest::TempDir dir;
    std::vector<PrintColumnDef> columns;
    PrintWithUnit(
        dir.sub("clipped.pdf"),
        [](ProbeUnit& unit) {
            unit.InsertPrintCol(0, "A", 0.7);
            unit.InsertPrintCol(1, "B", 0.6);
            unit.InsertPrintCol(2, "Rest", 0.0, 0, PCF_REST);  // the others already take more than the page
            unit.InsertPrintCol(1, "Inserted", 0.1);
        },
        [&](ProbeUnit& unit) {
            columns = unit.Columns();
            unit.PrintTextClipped("no room at all", QRect(0, 0, 0, 100));
            unit.PrintTextClipped("no room at all", QRect(0, 0, -50, 100));
            unit.PrintTextClipped("short", QRect(100, 100, 5000, 200));
        });
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[1].heading, "Inserted");
    EXPECT_EQ(columns[3].heading, "Rest");
    EXPECT_EQ(columns[3].width, 0);
    EXPECT_EQ(columns[1].x, columns[0].width);
    const QStringList text = qbtest::PdfPages(dir.sub("clipped.pdf"));
    ASSERT_EQ(text.size(), 1);
    EXPECT_TRUE(text[0].contains("short"));
    EXPECT_FALSE(text[0].contains("room"));
}

TEST(PrintUnit, TextLinesPlaceLeftCentreRightAndDots) {
    qbtest::TempDir dir;
    int rowHeight = 0;
    PrintWithUnit(dir.sub("lines.pdf"), nullptr, [&](ProbeUnit& unit) {
        PrintTextBlock block;
        block.text = QString(
            "Left\x1f"
            "Middle\x1e"
            "Right\nContents\x1c\x1e"
            "12");
        block.rect = unit.PrintArea();
        block.options = PTL_MAKE_ROOM;
        unit.PrintTextLines(block);
        rowHeight = unit.rowHeight();
    });
    const QStringList text = qbtest::PdfPages(dir.sub("lines.pdf"));
    ASSERT_EQ(text.size(), 1);
    const QStringList lines = text[0].split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QRegularExpression("^\\s*Left\\s{5,}Middle\\s{5,}Right\\s*$")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QRegularExpression("^\\s*Contents\\.{10,}\\s*12\\s*$"))) << lines[1].toStdString();
    EXPECT_GT(rowHeight, 0);
}

}  // namespace
