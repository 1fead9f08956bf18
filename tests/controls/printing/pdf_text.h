#pragma once
// Reads back what a test printed to a PDF file, with poppler's command-line tools.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>

namespace qbtest {

// The text of each page (pdftotext -layout); empty when the file cannot be read.
inline QStringList PdfPages(const std::string& path) {
    QProcess tool;
    tool.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(tool.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// The page count that pdfinfo reports, or -1.
inline int PdfPageCount(const std::string& path) {
    QProcess tool;
    tool.start("pdfinfo", {QString::fromStdString(path)});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return -1;
    for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split('\n')) {
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    }
    return -1;
}

}  // namespace qbtest
