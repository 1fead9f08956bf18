#pragma once
// A print job runs the whole sequence of a print: the print dialog, the printer, the
// document, its content and its end, as a template method whose steps a specialisation
// overrides. Output goes to the printer chosen in the dialog, to the default printer
// (direct printing) or to a PDF file.

#include <QMargins>
#include <QRect>
#include <memory>
#include <optional>
#include <string>

#include "controls/printing/printer_dc.h"
#include "platform/core/message_box.h"
#include "platform/core/win_types.h"

inline constexpr DWORD PD_NOSELECTION = 0x00000004;
inline constexpr DWORD PD_NOPAGENUMS = 0x00000008;
inline constexpr DWORD PD_PRINTTOFILE = 0x00000020;
inline constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x00040000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

// The settings of the device: copies and collation.
struct PrintDeviceMode {
    int copies = 1;
    bool collate = false;
};

// Which device: the printer's name.
struct PrintDeviceNames {
    std::string printerName;
};

// What the print dialog gives the job.
struct PrintDialogData {
    DWORD flags = 0;
    int fromPage = 0;
    int toPage = 0;
    int minPage = 0;
    int maxPage = 0;
    std::optional<PrintDeviceMode> devMode;
    std::optional<PrintDeviceNames> devNames;
};

// The job's print information: its page limits and counters.
struct GPrintInfo {
    int minPage = 1;
    int maxPage = 0xFFFF;
    int currentPage = 1;  // the number the next page prints
    int pagesPrinted = 0;
};

struct DOCINFO {
    int cbSize = 20;
    std::string docName;
    std::string output;
    std::string datatype;
    DWORD flags = 0;
};

// Takes the default printer's settings without showing anything.
class GBogusPrintDialog {
public:
    explicit GBogusPrintDialog(DWORD flags) : flags_(flags) {}
    // False when the system has no default printer.
    bool GetDefaults(PrintDialogData* data) const;

private:
    DWORD flags_;
};

class GPrintJob {
public:
    // Print's results.
    static constexpr int kPrinted = 0;
    static constexpr int kNotConfirmed = 1;
    static constexpr int kNoPrinter = 2;
    static constexpr int kNoFileName = 3;

    GPrintJob();
    GPrintJob(const GPrintJob&) = delete;
    GPrintJob& operator=(const GPrintJob&) = delete;
    virtual ~GPrintJob();

    int Print();

    // Prints into this PDF file instead of a printer, without asking for a name.
    void SetPrintToFileName(const std::string& path) { printToFileName_ = path; }
    const std::string& PrintToFileName() const { return printToFileName_; }

    GPrintInfo* Info() { return info_.get(); }
    PrintDialogData& DialogData() { return dialogData_; }
    PrinterDC* DC() { return dc_.get(); }
    const QRect& LogicalPageRect() const { return logicalPage_; }

protected:
    virtual bool ShouldShowDialog();
    virtual bool SetUpPrintDialog();
    virtual int RunPrintDialog();
    virtual bool AskOutputFileName();
    // The save-file prompt for printing to a file; empty when cancelled.
    virtual std::string PromptOutputFileName();
    virtual std::unique_ptr<PrinterDC> MakePrinterDC();
    virtual void OnPrinterReady() {}
    virtual void ResetCopyCount(bool aborting);
    virtual bool BeginDocument(DOCINFO& info);
    virtual void FinishDocument(bool abort);
    virtual void BeginPrinting();
    virtual void ComputePageRect();
    virtual bool GetPageMargins(QMargins* margins);
    virtual void FillDocInfo(DOCINFO& info);
    virtual void PrintContent() {}

    void UseDefaultPrinter();
    // Printing to a file was chosen in the dialog (PD_PRINTTOFILE) or a file name was given.
    bool PrintsToFile() const;

    bool showDialog_ = false;

private:
    std::unique_ptr<PrinterDC> dc_;
    std::unique_ptr<GPrintInfo> info_;
    PrintDialogData dialogData_;
    QRect devicePage_;
    QRect logicalPage_;
    DWORD flags_ = 0;  // bit 0: the job owns its device-mode copy
    std::string printToFileName_;
    std::string documentName_;
};
