#include "controls/printing/print_job.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

#include "platform/qt/qt_gui_services.h"
#include "resources/string_ids.h"
#include "resources/string_table.h"

namespace {

constexpr DWORD kOwnsDeviceMode = 0x1;
// Print-to-file prompt: default extension, default name, filter, caption.
// Printing to a file writes PDF on this platform.
constexpr int kPdfResolution = 600;

QString ResString(UINT id) {
    const std::optional<std::string_view> text = res::FindString(id);
    return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
}

}  // namespace

bool GBogusPrintDialog::GetDefaults(PrintDialogData* data) const {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull() || !data) return false;
    data->flags = flags_;
    data->devNames = PrintDeviceNames{printer.printerName().toStdString()};
    data->devMode = PrintDeviceMode{};
    return true;
}

GPrintJob::GPrintJob() = default;
GPrintJob::~GPrintJob() = default;

int GPrintJob::Print() {
    info_ = std::make_unique<GPrintInfo>();
    showDialog_ = ShouldShowDialog();
    if (showDialog_) {
        if (!SetUpPrintDialog()) return kNoPrinter;
        if (RunPrintDialog() != IDOK) return kNotConfirmed;
    }
    if (!AskOutputFileName()) return kNoFileName;

    dc_ = MakePrinterDC();
    if (!dc_) return kNoPrinter;

    BeginPrinting();
    ComputePageRect();
    DOCINFO docInfo;
    FillDocInfo(docInfo);
    OnPrinterReady();
    if (!BeginDocument(docInfo)) {
        dc_.reset();
        return kNoPrinter;
    }
    PrintContent();
    FinishDocument(false);
    ResetCopyCount(false);
    return kPrinted;
}

bool GPrintJob::ShouldShowDialog() { return true; }

bool GPrintJob::SetUpPrintDialog() {
    if (!info_) return false;
    PrintDialogData& dialog = dialogData_;
    if (dialog.toPage < dialog.fromPage) dialog.toPage = dialog.fromPage;
    dialog.minPage = info_->minPage;
    dialog.maxPage = info_->maxPage;
    return true;
}

int GPrintJob::RunPrintDialog() {
    QPrinter printer(QPrinter::HighResolution);
    if (dialogData_.devNames) printer.setPrinterName(QString::fromStdString(dialogData_.devNames->printerName));
    if (dialogData_.devMode) printer.setCopyCount(dialogData_.devMode->copies);
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return IDCANCEL;

    if (printer.outputFormat() == QPrinter::PdfFormat) {
        printToFileName_ = printer.outputFileName().toStdString();
        dialogData_.flags |= PD_PRINTTOFILE;
    } else {
        dialogData_.devNames = PrintDeviceNames{printer.printerName().toStdString()};
    }
    dialogData_.devMode = PrintDeviceMode{printer.copyCount(), printer.collateCopies()};
    flags_ |= kOwnsDeviceMode;
    return IDOK;
}

bool GPrintJob::PrintsToFile() const { return (dialogData_.flags & PD_PRINTTOFILE) || !printToFileName_.empty(); }

bool GPrintJob::AskOutputFileName() {
    if (!PrintsToFile() || !printToFileName_.empty()) return true;
    printToFileName_ = PromptOutputFileName();
    return !printToFileName_.empty();
}

std::string GPrintJob::PromptOutputFileName() {
    QFileDialog dialog(QApplication::activeWindow(), ResString(IDS_PRINT_TO_FILE_TITLE),
                       ResString(IDS_PRINT_FILE_NAME));
    dialog.setNameFilters(plat::FileDialogFilters(ResString(IDS_PRINT_FILE_FILTER).toStdWString()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(ResString(IDS_PRINT_FILE_EXTENSION));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front().toStdString();
}

std::unique_ptr<PrinterDC> GPrintJob::MakePrinterDC() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (PrintsToFile()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(kPdfResolution);
        printer->setOutputFileName(QString::fromStdString(printToFileName_));
    } else {
        // The device always comes from the job's printer names, so a job that took the
        // default printer without a dialog prints there.
        if (!dialogData_.devNames || !dialogData_.devMode || dialogData_.devNames->printerName.empty()) return nullptr;
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(dialogData_.devNames->printerName));
        if (info.isNull()) return nullptr;
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    if (dialogData_.devMode) {
        printer->setCopyCount(dialogData_.devMode->copies);
        printer->setCollateCopies(dialogData_.devMode->collate);
    }
    return std::make_unique<PrinterDC>(std::move(printer));
}

void GPrintJob::ResetCopyCount(bool aborting) {
    if (!aborting && dialogData_.devMode) dialogData_.devMode->copies = 1;
}

bool GPrintJob::BeginDocument(DOCINFO& info) {
    if (dc_ && dc_->StartDoc(info.docName)) return true;
    ResetCopyCount(true);
    FinishDocument(true);
    return false;
}

void GPrintJob::FinishDocument(bool abort) {
    if (dc_) {
        if (abort) {
            dc_->AbortDoc();
        } else {
            dc_->EndDoc();
        }
    }
    dc_.reset();
}

void GPrintJob::BeginPrinting() {}

void GPrintJob::ComputePageRect() {
    if (!dc_) return;
    devicePage_ = QRect(0, 0, dc_->HorzRes(), dc_->VertRes());
    QMargins margins;
    if (GetPageMargins(&margins)) devicePage_ = devicePage_.marginsRemoved(margins).normalized();
    // The drawing units are the device's own, so the logical page is the device page.
    logicalPage_ = devicePage_;
}

bool GPrintJob::GetPageMargins(QMargins*) { return false; }

void GPrintJob::FillDocInfo(DOCINFO& info) {
    info = DOCINFO{};
    info.docName = documentName_;
}

void GPrintJob::UseDefaultPrinter() {
    PrintDialogData defaults;
    const GBogusPrintDialog bogus(PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE);
    if (!bogus.GetDefaults(&defaults)) return;
    dialogData_.flags = defaults.flags;
    dialogData_.devNames = defaults.devNames;
    dialogData_.devMode = defaults.devMode;
    flags_ |= kOwnsDeviceMode;
}
