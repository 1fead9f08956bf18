#include "controls/printing/print_text_line_parser.h"

std::vector<PrintTextLine> GPrintTextLineParser::Parse(const QString& text) {
    std::vector<PrintTextLine> lines(1);
    PrintTextPiece piece;
    const auto endPiece = [&] {
        if (!piece.text.isEmpty()) {
            lines.back().push_back(piece);
            piece = PrintTextPiece{};
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool control = c == kCentre || c == kRight || c == kDots;
        if (control && i + 1 < text.size() && text[i + 1] == c) {
            piece.text += c;  // doubled: the character itself
            ++i;
            continue;
        }
        if (c == kLineFeed) {
            endPiece();
            piece = PrintTextPiece{};
            lines.emplace_back();
        } else if (c == kCentre) {
            endPiece();
            piece.align = PrintTextPiece::Centre;
        } else if (c == kRight) {
            endPiece();
            piece.align = PrintTextPiece::Right;
        } else if (c == kDots) {
            endPiece();
            piece.dotLeader = true;
        } else {
            piece.text += c;
        }
    }
    endPiece();
    return lines;
}
