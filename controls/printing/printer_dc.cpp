#include "controls/printing/printer_dc.h"

#include <QFile>

PrinterDC::PrinterDC(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

PrinterDC::~PrinterDC() {
    if (painter_.isActive()) AbortDoc();
}

bool PrinterDC::StartDoc(const std::string& documentName) {
    if (!printer_ || !printer_->isValid() || painter_.isActive()) return false;
    printer_->setDocName(QString::fromStdString(documentName));
    pagesStarted_ = 0;
    return painter_.begin(printer_.get());
}

void PrinterDC::StartPage() {
    if (!painter_.isActive()) return;
    // The painter opens the first page itself.
    if (pagesStarted_ > 0) printer_->newPage();
    ++pagesStarted_;
}

void PrinterDC::EndPage() {}

void PrinterDC::EndDoc() {
    if (!painter_.isActive()) return;
    if (pagesStarted_ == 0) return AbortDoc();
    painter_.end();
}

void PrinterDC::AbortDoc() {
    if (!painter_.isActive()) return;
    const QString file = printer_->outputFormat() == QPrinter::PdfFormat ? printer_->outputFileName() : QString();
    printer_->abort();
    painter_.end();
    // A PDF file cannot be cancelled half-written: it is removed.
    if (!file.isEmpty()) QFile::remove(file);
}
