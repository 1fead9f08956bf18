#pragma once
// The device a print job draws on: a Qt printer (a real printer or a PDF file) with the
// painter that draws on it, and the document and page steps of a print run.

#include <QPainter>
#include <QPrinter>
#include <memory>
#include <string>

class PrinterDC {
public:
    explicit PrinterDC(std::unique_ptr<QPrinter> printer);
    PrinterDC(const PrinterDC&) = delete;
    PrinterDC& operator=(const PrinterDC&) = delete;
    ~PrinterDC();

    QPrinter& Printer() { return *printer_; }
    // Valid between StartDoc and EndDoc.
    QPainter& Painter() { return painter_; }

    // Printable width and height in device units, and vertical device units per inch.
    int HorzRes() const { return printer_->width(); }
    int VertRes() const { return printer_->height(); }

    // False when the device cannot take a document (no such printer, a file that
    // cannot be written).
    bool StartDoc(const std::string& documentName);
    void StartPage();
    void EndPage();
    // Ends the document. A document that never started a page is aborted instead, so
    // nothing comes out of the printer and no empty file is left.
    void EndDoc();
    void AbortDoc();

    bool IsPrinting() const { return painter_.isActive(); }

private:
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    int pagesStarted_ = 0;
};
