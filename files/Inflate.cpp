#include "files/Inflate.h"

#include <algorithm>
#include <array>

namespace orven {

namespace {

constexpr int kMaxCodeBits = 15;
constexpr int kLiteralCodes = 288;
constexpr int kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;
// Deflate makes at most this many bytes of each byte of its data (a match of 258 in under 2 bits).
constexpr std::size_t kMostRatio = 1032;

// Base lengths and distances of the length and distance symbols, and their extra bits.
constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                                         33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                                         1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the code lengths of its code length code.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A canonical Huffman code: how many codes each length has, and the symbols in code order.
struct Huffman {
    std::array<std::uint16_t, kMaxCodeBits + 1> count{};
    std::array<std::uint16_t, kLiteralCodes> symbol{};
};

class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::size_t size, std::vector<std::uint8_t>& out)
        : in_(in), size_(size), out_(out) {}

    bool Run() {
        out_.clear();
        // No more than the data can make: a size claimed by a damaged or hostile file reserves nothing.
        out_.reserve(std::min(size_, in_.size() * kMostRatio + kMostRatio));
        bool last = false;
        while (!last && ok_) {
            last = Bits(1) != 0;
            switch (Bits(2)) {
            case 0: Stored(); break;
            case 1: Fixed(); break;
            case 2: Dynamic(); break;
            default: ok_ = false;
            }
        }
        return ok_ && out_.size() == size_;
    }

private:
    int Bits(int need) {
        std::uint32_t value = bitBuffer_;
        while (bitCount_ < need) {
            if (at_ >= in_.size()) {
                ok_ = false;
                return 0;
            }
            value |= std::uint32_t{in_[at_++]} << bitCount_;
            bitCount_ += 8;
        }
        bitBuffer_ = value >> need;
        bitCount_ -= need;
        return static_cast<int>(value & ((1u << need) - 1));
    }

    void Put(std::uint8_t byte) {
        if (out_.size() >= size_) ok_ = false;
        else out_.push_back(byte);
    }

    void Stored() {
        bitBuffer_ = 0;  // a stored block starts on a byte boundary
        bitCount_ = 0;
        if (in_.size() - at_ < 4) {
            ok_ = false;
            return;
        }
        const unsigned length = in_[at_] | (in_[at_ + 1] << 8);
        const unsigned check = in_[at_ + 2] | (in_[at_ + 3] << 8);
        at_ += 4;
        if (length != (~check & 0xFFFFu) || in_.size() - at_ < length) {
            ok_ = false;
            return;
        }
        for (unsigned i = 0; i < length && ok_; ++i) Put(in_[at_ + i]);
        at_ += length;
    }

    // The symbol of the next code; -1 when the bits form no code.
    int Decode(const Huffman& h) {
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= kMaxCodeBits && ok_; ++length) {
            code |= Bits(1);
            const int count = h.count[length];
            if (code - count < first) return h.symbol[index + (code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

    // Builds a code from symbol lengths; what is left of the code space (0 complete, more than 0
    // incomplete, below 0 over-subscribed).
    static int Build(Huffman& h, const std::uint16_t* length, int n) {
        h.count.fill(0);
        for (int s = 0; s < n; ++s) ++h.count[length[s]];
        if (h.count[0] == n) return 0;
        int left = 1;
        for (int len = 1; len <= kMaxCodeBits; ++len) {
            left = (left << 1) - h.count[len];
            if (left < 0) return left;
        }
        std::array<std::uint16_t, kMaxCodeBits + 1> offset{};
        for (int len = 1; len < kMaxCodeBits; ++len) offset[len + 1] = offset[len] + h.count[len];
        for (int s = 0; s < n; ++s)
            if (length[s] != 0) h.symbol[offset[length[s]]++] = static_cast<std::uint16_t>(s);
        return left;
    }

    void Codes(const Huffman& lengths, const Huffman& distances) {
        for (;;) {
            const int symbol = Decode(lengths);
            if (!ok_ || symbol < 0) {
                ok_ = false;
                return;
            }
            if (symbol < kEndOfBlock) {
                Put(static_cast<std::uint8_t>(symbol));
                continue;
            }
            if (symbol == kEndOfBlock) return;
            const int l = symbol - kEndOfBlock - 1;
            if (l >= static_cast<int>(kLengthBase.size())) {
                ok_ = false;
                return;
            }
            const int length = kLengthBase[l] + Bits(kLengthExtra[l]);
            const int d = Decode(distances);
            if (!ok_ || d < 0 || d >= kDistanceCodes) {
                ok_ = false;
                return;
            }
            const std::size_t distance = kDistanceBase[d] + static_cast<std::size_t>(Bits(kDistanceExtra[d]));
            if (!ok_ || distance > out_.size()) {
                ok_ = false;
                return;
            }
            for (int i = 0; i < length && ok_; ++i) Put(out_[out_.size() - distance]);
            if (!ok_) return;
        }
    }

    void Fixed() {
        std::array<std::uint16_t, kLiteralCodes> length{};
        for (int s = 0; s < kLiteralCodes; ++s) length[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        Huffman lengths, distances;
        Build(lengths, length.data(), kLiteralCodes);
        length.fill(5);
        Build(distances, length.data(), kDistanceCodes);
        Codes(lengths, distances);
    }

    void Dynamic() {
        const int literals = Bits(5) + 257, dists = Bits(5) + 1, codeLengths = Bits(4) + 4;
        if (!ok_ || literals > 286 || dists > kDistanceCodes) {
            ok_ = false;
            return;
        }
        std::array<std::uint16_t, kLiteralCodes + kDistanceCodes> length{};
        for (int i = 0; i < codeLengths; ++i) length[kCodeLengthOrder[i]] = static_cast<std::uint16_t>(Bits(3));
        Huffman lengthCode;
        if (Build(lengthCode, length.data(), 19) != 0) {
            ok_ = false;
            return;
        }
        length.fill(0);
        for (int i = 0; i < literals + dists && ok_;) {
            const int symbol = Decode(lengthCode);
            if (symbol >= 0 && symbol < 16) {
                length[i++] = static_cast<std::uint16_t>(symbol);
                continue;
            }
            // 16 repeats the length before, 17 and 18 give runs of zeros.
            const bool repeats = symbol == 16;
            const int times = repeats ? 3 + Bits(2) : symbol == 17 ? 3 + Bits(3) : 11 + Bits(7);
            if (symbol < 0 || (repeats && i == 0) || i + times > literals + dists) ok_ = false;
            const std::uint16_t repeated = repeats && i > 0 ? length[i - 1] : 0;
            for (int k = 0; k < times && ok_; ++k) length[i++] = repeated;
        }
        if (!ok_ || length[kEndOfBlock] == 0) {
            ok_ = false;
            return;
        }
        Huffman lengths, distances;
        // An incomplete code is allowed only when it holds a single code.
        const int leftL = Build(lengths, length.data(), literals);
        const int leftD = Build(distances, length.data() + literals, dists);
        if (leftL < 0 || (leftL > 0 && literals - lengths.count[0] != 1) || leftD < 0 ||
            (leftD > 0 && dists - distances.count[0] != 1)) {
            ok_ = false;
            return;
        }
        Codes(lengths, distances);
    }

    std::span<const std::uint8_t> in_;
    std::size_t size_;
    std::vector<std::uint8_t>& out_;
    std::size_t at_ = 0;
    std::uint32_t bitBuffer_ = 0;
    int bitCount_ = 0;
    bool ok_ = true;
};

}  // namespace

bool Inflate(std::span<const std::uint8_t> in, std::size_t size, std::vector<std::uint8_t>& out) {
    return Inflater(in, size, out).Run();
}

}  // namespace orven
