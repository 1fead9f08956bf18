#include "engine/catalog/catalog_deflater.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <queue>
#include <vector>

namespace {

// --- The deflate format's fixed tables -------------------------------------------------

constexpr int kEndOfBlock = 256;
constexpr int kLiteralLengthCodes = 286;
constexpr int kDistanceCodes = 30;
constexpr int kCodeLengthCodes = 19;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                                         33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, kCodeLengthCodes> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                         11, 4,  12, 3, 13, 2, 14, 1, 15};

// The code of each match length and distance, from tables made once.
struct CodeTables {
    std::array<std::uint8_t, kMaxMatch + 1> length{};
    std::array<std::uint8_t, 32768 + 1> distance{};
    CodeTables() {
        for (int l = kMinMatch, code = 0; l <= kMaxMatch; ++l) {
            while (code + 1 < static_cast<int>(kLengthBase.size()) &&
                   kLengthBase[static_cast<std::size_t>(code + 1)] <= l)
                ++code;
            length[static_cast<std::size_t>(l)] = static_cast<std::uint8_t>(code);
        }
        for (int d = 1, code = 0; d <= 32768; ++d) {
            while (code + 1 < kDistanceCodes && kDistanceBase[static_cast<std::size_t>(code + 1)] <= d) ++code;
            distance[static_cast<std::size_t>(d)] = static_cast<std::uint8_t>(code);
        }
    }
};

const CodeTables& Tables() {
    static const CodeTables tables;
    return tables;
}

int LengthCode(int length) { return Tables().length[static_cast<std::size_t>(length)]; }

int DistanceCode(int distance) { return Tables().distance[static_cast<std::size_t>(distance)]; }

// --- Tokens ----------------------------------------------------------------------------

// A literal byte (distance 0) or a match of `value` bytes at `distance` back.
struct Token {
    std::uint16_t value;
    std::uint16_t distance;
};

constexpr int kRowDistance = static_cast<int>(kCatalogRecordSize);
constexpr int kZerosNear = 64;

class Tokenizer {
public:
    explicit Tokenizer(std::vector<Token>& tokens) : tokens_(tokens) {}

    void Literal(std::uint8_t byte) { tokens_.push_back({byte, 0}); }
    void Match(int length, int distance) {
        tokens_.push_back({static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)});
    }
    // `count` bytes that are what stands `distance` back, all zeros.
    void Repeats(int count, int distance) {
        while (count >= kMinMatch) {
            const int length = std::min(count, kMaxMatch);
            // Leave no run of one or two behind a full match.
            const int take = count - length > 0 && count - length < kMinMatch ? length - kMinMatch : length;
            Match(take, distance);
            count -= take;
        }
        for (; count > 0; --count) Literal(0);
    }
    // `count` zeros after a zero. An inflater copies a match a byte at a time, and one
    // with the byte just before waits for each byte it makes; so the zeros first match the
    // byte before for a few, then the zeros that far back, which cost two bits more.
    void Zeros(int count) {
        const int near = std::min(count, kZerosNear);
        Repeats(near, 1);
        Repeats(count - near, kZerosNear);
    }

private:
    std::vector<Token>& tokens_;
};

// The header: its bytes, its zeros as runs.
void TokenizeHeader(std::span<const std::uint8_t> header, Tokenizer& out) {
    std::size_t i = 0;
    while (i < header.size()) {
        if (i > 0 && header[i - 1] == 0 && header[i] == 0) {
            std::size_t end = i;
            while (end < header.size() && header[end] == 0) ++end;
            if (end - i >= static_cast<std::size_t>(kMinMatch)) {
                out.Zeros(static_cast<int>(end - i));
                i = end;
                continue;
            }
        }
        out.Literal(header[i++]);
    }
}

// A row against the bytes the same distance back (the row before; for the first, the
// header's end), which are valid from `firstValid` on; its zeros after its beginning as runs.
void TokenizeRow(const std::uint8_t* row, std::size_t length, const std::uint8_t* before, std::size_t firstValid,
                 Tokenizer& out) {
    std::size_t i = 0;
    while (i < length) {
        std::size_t same = 0;
        if (i >= firstValid) {
            const std::size_t most = std::min<std::size_t>(kMaxMatch, length - i);
            while (same < most && row[i + same] == before[i + same]) ++same;
        }
        if (same >= static_cast<std::size_t>(kMinMatch)) {
            out.Match(static_cast<int>(same), kRowDistance);
            i += same;
        } else {
            out.Literal(row[i++]);
        }
    }
    // The row ends in its name's NUL, so the zeros follow a zero.
    out.Zeros(static_cast<int>(kCatalogRecordSize - length));
}

// --- Huffman codes ---------------------------------------------------------------------

// Code lengths for the frequencies, none longer than `limit`: a Huffman code, made again
// from halved frequencies while it is too deep.
std::vector<std::uint8_t> CodeLengths(std::vector<std::uint32_t> frequencies, int limit) {
    std::vector<std::uint8_t> lengths(frequencies.size(), 0);
    std::vector<int> used;
    for (std::size_t s = 0; s < frequencies.size(); ++s) {
        if (frequencies[s] != 0) used.push_back(static_cast<int>(s));
    }
    if (used.empty()) return lengths;
    if (used.size() == 1) {
        lengths[static_cast<std::size_t>(used[0])] = 1;
        return lengths;
    }
    for (;;) {
        struct Node {
            std::uint64_t weight;
            int left;
            int right;
        };
        std::vector<Node> nodes;
        using Entry = std::pair<std::uint64_t, int>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
        for (const int s : used) {
            nodes.push_back({frequencies[static_cast<std::size_t>(s)], -1, s});
            queue.push({nodes.back().weight, static_cast<int>(nodes.size()) - 1});
        }
        while (queue.size() > 1) {
            const Entry a = queue.top();
            queue.pop();
            const Entry b = queue.top();
            queue.pop();
            nodes.push_back({a.first + b.first, a.second, b.second});
            queue.push({nodes.back().weight, static_cast<int>(nodes.size()) - 1});
        }
        // Depths from the root down; a leaf has left == -1 and its symbol in right.
        std::vector<int> depth(nodes.size(), 0);
        int deepest = 0;
        for (int n = static_cast<int>(nodes.size()) - 1; n >= 0; --n) {
            const Node& node = nodes[static_cast<std::size_t>(n)];
            if (node.left < 0) {
                lengths[static_cast<std::size_t>(node.right)] =
                    static_cast<std::uint8_t>(depth[static_cast<std::size_t>(n)]);
                deepest = std::max(deepest, depth[static_cast<std::size_t>(n)]);
            } else {
                depth[static_cast<std::size_t>(node.left)] = depth[static_cast<std::size_t>(n)] + 1;
                depth[static_cast<std::size_t>(node.right)] = depth[static_cast<std::size_t>(n)] + 1;
            }
        }
        if (deepest <= limit) return lengths;
        for (const int s : used)
            frequencies[static_cast<std::size_t>(s)] = (frequencies[static_cast<std::size_t>(s)] + 1) / 2;
    }
}

// The canonical codes of the lengths (RFC 1951, 3.2.2), each already reversed for the
// stream's order of bits.
std::vector<std::uint16_t> Codes(const std::vector<std::uint8_t>& lengths) {
    std::array<int, kMaxCodeBits + 1> count{};
    for (const std::uint8_t length : lengths) ++count[length];
    count[0] = 0;
    std::array<int, kMaxCodeBits + 2> next{};
    for (int bits = 1, code = 0; bits <= kMaxCodeBits; ++bits) {
        code = (code + count[static_cast<std::size_t>(bits - 1)]) << 1;
        next[static_cast<std::size_t>(bits)] = code;
    }
    std::vector<std::uint16_t> codes(lengths.size(), 0);
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        const int length = lengths[s];
        if (length == 0) continue;
        const int code = next[static_cast<std::size_t>(length)]++;
        int reversed = 0;
        for (int b = 0; b < length; ++b) reversed |= ((code >> b) & 1) << (length - 1 - b);
        codes[s] = static_cast<std::uint16_t>(reversed);
    }
    return codes;
}

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t bits, int count) {
        buffer_ |= std::uint64_t{bits} << used_;
        used_ += count;
        while (used_ >= 8) {
            out_.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ >>= 8;
            used_ -= 8;
        }
    }
    void Finish() {
        if (used_ > 0) out_.push_back(static_cast<std::uint8_t>(buffer_));
        buffer_ = 0;
        used_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t buffer_ = 0;
    int used_ = 0;
};

// A symbol of the code-length alphabet with its extra bits.
struct LengthSymbol {
    std::uint8_t symbol;
    std::uint8_t extra;
};

std::vector<LengthSymbol> RunLengths(const std::vector<std::uint8_t>& lengths) {
    std::vector<LengthSymbol> out;
    for (std::size_t i = 0; i < lengths.size();) {
        const std::uint8_t value = lengths[i];
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == value) ++run;
        i += run;
        if (value == 0) {
            while (run >= 11) {
                const std::size_t take = std::min<std::size_t>(run, 138);
                out.push_back({18, static_cast<std::uint8_t>(take - 11)});
                run -= take;
            }
            if (run >= 3) {
                out.push_back({17, static_cast<std::uint8_t>(run - 3)});
                run = 0;
            }
            for (; run > 0; --run) out.push_back({0, 0});
            continue;
        }
        out.push_back({value, 0});
        --run;
        while (run >= 3) {
            const std::size_t take = std::min<std::size_t>(run, 6);
            out.push_back({16, static_cast<std::uint8_t>(take - 3)});
            run -= take;
        }
        for (; run > 0; --run) out.push_back({value, 0});
    }
    return out;
}

std::vector<std::uint8_t> Encode(const std::vector<Token>& tokens) {
    std::vector<std::uint32_t> literalFrequency(kLiteralLengthCodes, 0);
    std::vector<std::uint32_t> distanceFrequency(kDistanceCodes, 0);
    for (const Token& token : tokens) {
        if (token.distance == 0) {
            ++literalFrequency[token.value];
        } else {
            ++literalFrequency[static_cast<std::size_t>(257 + LengthCode(token.value))];
            ++distanceFrequency[static_cast<std::size_t>(DistanceCode(token.distance))];
        }
    }
    literalFrequency[kEndOfBlock] = 1;
    // At least one distance code, as the format asks.
    if (std::all_of(distanceFrequency.begin(), distanceFrequency.end(), [](std::uint32_t f) { return f == 0; })) {
        distanceFrequency[0] = 1;
    }
    const std::vector<std::uint8_t> literalLengths = CodeLengths(literalFrequency, kMaxCodeBits);
    const std::vector<std::uint8_t> distanceLengths = CodeLengths(distanceFrequency, kMaxCodeBits);
    const std::vector<std::uint16_t> literalCodes = Codes(literalLengths);
    const std::vector<std::uint16_t> distanceCodes = Codes(distanceLengths);

    int literalCount = kLiteralLengthCodes;
    while (literalCount > 257 && literalLengths[static_cast<std::size_t>(literalCount - 1)] == 0) --literalCount;
    int distanceCount = kDistanceCodes;
    while (distanceCount > 1 && distanceLengths[static_cast<std::size_t>(distanceCount - 1)] == 0) --distanceCount;
    std::vector<std::uint8_t> allLengths(literalLengths.begin(), literalLengths.begin() + literalCount);
    allLengths.insert(allLengths.end(), distanceLengths.begin(), distanceLengths.begin() + distanceCount);
    const std::vector<LengthSymbol> runs = RunLengths(allLengths);
    std::vector<std::uint32_t> runFrequency(kCodeLengthCodes, 0);
    for (const LengthSymbol& run : runs) ++runFrequency[run.symbol];
    // The code-length code must be complete: two symbols at least.
    if (std::count_if(runFrequency.begin(), runFrequency.end(), [](std::uint32_t f) { return f != 0; }) < 2) {
        ++runFrequency[runFrequency[0] == 0 ? 0 : 1];
    }
    const std::vector<std::uint8_t> runLengths = CodeLengths(runFrequency, kMaxCodeLengthBits);
    const std::vector<std::uint16_t> runCodes = Codes(runLengths);
    int runCount = kCodeLengthCodes;
    while (runCount > 4 && runLengths[kCodeLengthOrder[static_cast<std::size_t>(runCount - 1)]] == 0) --runCount;

    std::vector<std::uint8_t> out;
    out.reserve(tokens.size() * 2 + 256);
    BitWriter bits(out);
    bits.Put(1, 1);  // the last block
    bits.Put(2, 2);  // with its own Huffman codes
    bits.Put(static_cast<std::uint32_t>(literalCount - 257), 5);
    bits.Put(static_cast<std::uint32_t>(distanceCount - 1), 5);
    bits.Put(static_cast<std::uint32_t>(runCount - 4), 4);
    for (int i = 0; i < runCount; ++i) bits.Put(runLengths[kCodeLengthOrder[static_cast<std::size_t>(i)]], 3);
    for (const LengthSymbol& run : runs) {
        bits.Put(runCodes[run.symbol], runLengths[run.symbol]);
        if (run.symbol == 16) bits.Put(run.extra, 2);
        if (run.symbol == 17) bits.Put(run.extra, 3);
        if (run.symbol == 18) bits.Put(run.extra, 7);
    }
    for (const Token& token : tokens) {
        if (token.distance == 0) {
            bits.Put(literalCodes[token.value], literalLengths[token.value]);
            continue;
        }
        const int lengthCode = LengthCode(token.value);
        const auto symbol = static_cast<std::size_t>(257 + lengthCode);
        bits.Put(literalCodes[symbol], literalLengths[symbol]);
        bits.Put(static_cast<std::uint32_t>(token.value - kLengthBase[static_cast<std::size_t>(lengthCode)]),
                 kLengthExtra[static_cast<std::size_t>(lengthCode)]);
        const int distanceCode = DistanceCode(token.distance);
        bits.Put(distanceCodes[static_cast<std::size_t>(distanceCode)],
                 distanceLengths[static_cast<std::size_t>(distanceCode)]);
        bits.Put(static_cast<std::uint32_t>(token.distance - kDistanceBase[static_cast<std::size_t>(distanceCode)]),
                 kDistanceExtra[static_cast<std::size_t>(distanceCode)]);
    }
    bits.Put(literalCodes[kEndOfBlock], literalLengths[kEndOfBlock]);
    bits.Finish();
    return out;
}

}  // namespace

std::optional<plat::DeflatedMember> DeflateCatalogBlock(const CatalogBlock& block,
                                                        std::span<const std::uint8_t, kCatalogHeaderSize> header) {
    try {
        std::array<std::uint8_t, kCatalogHeaderSize> counted;
        std::copy(header.begin(), header.end(), counted.begin());
        const std::uint32_t rows = block.RowCount();
        for (std::size_t i = 0; i < 4; ++i) counted[i] = static_cast<std::uint8_t>(rows >> (8 * i));

        std::vector<Token> tokens;
        tokens.reserve(std::size_t{rows} * 16 + 1024);
        Tokenizer out(tokens);
        TokenizeHeader(counted, out);
        // The row before, in full; for the first row the bytes one row back are the
        // header's last 2,052 and nothing before them.
        std::array<std::uint8_t, kCatalogRecordSize> rowsBuffer[2]{};
        std::size_t lengths[2] = {0, 0};
        std::array<std::uint8_t, kCatalogRecordSize> first{};
        std::copy(counted.begin(), counted.end(), first.begin() + (kCatalogRecordSize - kCatalogHeaderSize));
        const std::uint8_t* before = first.data();
        std::size_t firstValid = kCatalogRecordSize - kCatalogHeaderSize;
        for (std::uint32_t r = 0; r < rows; ++r) {
            std::array<std::uint8_t, kCatalogRecordSize>& row = rowsBuffer[r % 2];
            const std::size_t length = block.EncodeRowStart(r, row);
            // What the buffer held beyond this row's beginning becomes zeros again.
            if (lengths[r % 2] > length) std::memset(row.data() + length, 0, lengths[r % 2] - length);
            lengths[r % 2] = length;
            TokenizeRow(row.data(), length, before, firstValid, out);
            before = row.data();
            firstValid = 0;
        }
        plat::DeflatedMember member;
        member.data = Encode(tokens);
        member.crc = block.Checksum(header);
        member.size = CatalogBlockSize(rows);
        return member;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
