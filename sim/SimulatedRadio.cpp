#include "sim/SimulatedRadio.h"

#include "GlobalDef.h"

#include <algorithm>
#include <cstring>

namespace orven {

namespace {

// The prefix byte a bad-prefix reply changes: it keeps "$R" so that the reply is still found
// on the serial line and only the prefix test fails.
constexpr std::size_t kSpoiledPrefixByte = 2;

bool FitsMemory(const CloneFrame& f) {
    return f.length >= 1 && f.length <= kFrameDataSize &&
           FrameAddress(f) + std::size_t{f.length} <= kImageSize;
}

}  // namespace

SimulatedRadio::SimulatedRadio() = default;

void SimulatedRadio::ClearHistory() {
    counters_ = {};
    log_.clear();
}

void SimulatedRadio::PlugIn(const RadioImage& memory) {
    memory_ = memory;
    present_ = true;
    ClearHistory();
}

void SimulatedRadio::PlugInAfter(std::uint32_t frames, const RadioImage& memory) {
    swap_.emplace(counters_.frames + frames, memory);
}

std::optional<CloneFrame> SimulatedRadio::Answer(const std::uint8_t* frame32) {
    if (!CheckReply(frame32, ReplyCheck::Prefix) || !CheckReply(frame32, ReplyCheck::Checksum))
        return std::nullopt;
    const CloneFrame frame = FrameFromBytes(frame32);
    switch (frame.letter) {
    case kLetterIdentify:
        return AnswerIdentify();
    case kLetterRead:
        return AnswerRead(frame);
    case kLetterWrite:
        return AnswerWrite(frame);
    default:
        return std::nullopt;
    }
}

std::optional<CloneFrame> SimulatedRadio::AnswerIdentify() {
    CloneFrame reply = MakeDataFrame(kLetterIdentify, kIdentifyAddress, kFrameDataSize);
    std::memset(reply.data, 0, kFrameDataSize);
    std::memcpy(reply.data, kSimIdentity, std::min(sizeof kSimIdentity, kFrameDataSize));
    SealFrame(reply);
    ++counters_.identifies;
    return reply;
}

std::optional<CloneFrame> SimulatedRadio::AnswerRead(const CloneFrame& frame) {
    if (!FitsMemory(frame)) return std::nullopt;
    CloneFrame reply = MakeDataFrame(kLetterRead, FrameAddress(frame), frame.length);
    std::memcpy(reply.data, memory_.data() + FrameAddress(frame), frame.length);
    SealFrame(reply);
    ++counters_.reads;
    return reply;
}

std::optional<CloneFrame> SimulatedRadio::AnswerWrite(const CloneFrame& frame) {
    if (!FitsMemory(frame)) return std::nullopt;
    const auto stuck = faults_.stuckAddress;
    const std::uint8_t kept = stuck ? memory_[*stuck % kImageSize] : 0;
    std::memcpy(memory_.data() + FrameAddress(frame), frame.data, frame.length);
    if (stuck) memory_[*stuck % kImageSize] = kept;
    CloneFrame reply = MakeDataFrame(kLetterAck, FrameAddress(frame), frame.length);
    std::memcpy(reply.data, frame.data, kFrameDataSize);
    SealFrame(reply);
    ++counters_.writes;
    return reply;
}

std::optional<SimFaults> SimulatedRadio::FaultsOf(std::uint32_t frameNumber) const {
    if (plan_) return plan_(frameNumber);
    if (!faults_.scope.Hits(frameNumber)) return std::nullopt;
    return faults_;
}

bool SimulatedRadio::EchoesNextFrame() const {
    const auto faults = FaultsOf(counters_.frames + 1);
    return !(faults && faults->noEcho);
}

std::uint8_t SimulatedRadio::EchoOfNextFrame(std::uint8_t byte, std::size_t at) const {
    const auto faults = FaultsOf(counters_.frames + 1);
    const bool garbled = faults && faults->garbledEchoByte == at;
    return garbled ? static_cast<std::uint8_t>(byte ^ kGarbledEchoBits) : byte;
}

bool SimulatedRadio::IsSilent(std::uint32_t frameNumber) const {
    if (!present_) return true;
    if (faults_.silentAfterFrames && frameNumber > *faults_.silentAfterFrames) return true;
    const auto faults = FaultsOf(frameNumber);
    return faults && faults->noRadio;
}

SimExchange SimulatedRadio::Exchange(const std::uint8_t* frame32, bool heard) {
    SimExchange ex;
    ex.echo = EchoesNextFrame();
    ex.frameNumber = ++counters_.frames;
    log_.push_back(FrameFromBytes(frame32));
    if (swap_ && ex.frameNumber > swap_->first) {
        memory_ = swap_->second;
        present_ = true;
        swap_.reset();
    }
    if (!ex.echo || !heard || IsSilent(ex.frameNumber)) return ex;

    ex.reply = Answer(frame32);
    const auto faults = FaultsOf(ex.frameNumber);
    if (!ex.reply || !faults) return ex;
    Spoil(*faults, *ex.reply);
    ex.noiseBytes = faults->noiseBytes;
    ex.strayDollar = faults->strayDollar;
    ex.pieces = std::max<std::size_t>(faults->replyPieces, 1);
    ex.pieceDelay = faults->pieceDelay;
    ex.lastBytePause = faults->lastBytePause;
    ex.replyDelay = faults->replyDelay;
    ex.lineFault = faults->lineFault;
    return ex;
}

void SimulatedRadio::Spoil(const SimFaults& faults, CloneFrame& reply) {
    if (faults.wrongAck && reply.letter == kLetterAck) {
        reply.data[0] ^= 0xFF;
        SealFrame(reply);  // only the acknowledgement is wrong, not the checksum
    }
    if (faults.badPrefix) reply.prefix[kSpoiledPrefixByte] ^= 0x20;
    if (faults.badChecksum) reply.checksum ^= 0xFF;
}

}  // namespace orven
