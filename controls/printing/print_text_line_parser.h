#pragma once
// Splits a text to print into lines of pieces. Control characters: 10 ends the line;
// 31 ends the current piece and centres the next; 30 ends it and right-aligns the next;
// 28 ends it and leads the next with dots. A doubled control character (31 31, 30 30,
// 28 28) stands for the character itself. What a control character asks for applies to
// the next piece that holds text.

#include <QString>
#include <vector>

struct PrintTextPiece {
    enum Align { Left = 0, Centre = 1, Right = 2 };
    QString text;
    Align align = Left;
    bool dotLeader = false;
};

using PrintTextLine = std::vector<PrintTextPiece>;

class GPrintTextLineParser {
public:
    static constexpr QChar kLineFeed{10};
    static constexpr QChar kCentre{31};
    static constexpr QChar kRight{30};
    static constexpr QChar kDots{28};

    // Every line of `text`, one more than it has line feeds; a line may hold no piece.
    static std::vector<PrintTextLine> Parse(const QString& text);
};
