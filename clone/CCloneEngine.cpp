#include "clone/CCloneEngine.h"

#include "clone/CloneEvent.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "model/ImageCodec.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace orven {

namespace {
constexpr int kAttempts = 3;
}  // namespace

CCloneEngine::CCloneEngine() : writeImage_(&WriteImage), readImage_(&ReadImage) {}

CCloneEngine::~CCloneEngine() { CloseTrace(); }

void CCloneEngine::SetImages(RadioImage& writeImage, RadioImage& readImage) {
    writeImage_ = &writeImage;
    readImage_ = &readImage;
}

bool CCloneEngine::IsReady() const { return settings_ && state_ && progress_; }

std::string CCloneEngine::PathOf(const char* name) const { return JoinPath(directory_, name); }

void CCloneEngine::OpenTrace() {
    if (!state_ || !state_->traceLog) return;
    // Through a link, the trace could overwrite what the radio archive keeps.
    if (!ArchiveOutputRefusal(PathOf(kTraceFileName))) trace_.Open(PathOf(kTraceFileName));
    if (!trace_.IsOpen()) unwritten_.push_back(PathOf(kTraceFileName));
}

void CCloneEngine::CloseTrace() { trace_.Close(); }

void CCloneEngine::DumpImage(bool isWrite) {
    const std::string path = PathOf(isWrite ? kWriteDumpFileName : kReadDumpFileName);
    if (ArchiveOutputRefusal(path) || !DumpImageFile(path, isWrite ? *writeImage_ : *readImage_))
        unwritten_.push_back(path);
}

int CCloneEngine::GetRanges(AddressRange* ranges, int capacity) const {
    if (capacity < 1) return 0;
    ranges[0] = {kCloneFirst, kCloneLast};
    return 1;
}

CloneResult CCloneEngine::CheckReplyOf(Exchange exchange, const std::uint8_t* frame) const {
    if (!CheckReply(reply_.data(), ReplyCheck::Prefix)) return PrefixFailure(exchange);
    if (!CheckReply(reply_.data(), ReplyCheck::Checksum)) return kResultChecksum;
    if (exchange == Exchange::Write && !CheckReply(reply_.data(), ReplyCheck::WriteAck, frame))
        return kResultWriteError;
    // A reply for another chunk, one that came too late for its own exchange, must not pass:
    // its data would land at the wrong address, or acknowledge a frame the radio never got.
    if (exchange != Exchange::Identify && !CheckReply(reply_.data(), ReplyCheck::Answers, frame))
        return exchange == Exchange::Write ? kResultWriteError : kResultChecksum;
    return kResultOk;
}

CloneResult CCloneEngine::RunAttempts(Exchange exchange, const std::uint8_t* frame, int firstAttempt) {
    CloneResult result = kResultOk;
    for (int attempt = firstAttempt; attempt < kAttempts; ++attempt) {
        if (unsettled_)
            if (const CloneResult settled = Settle(LastReplyTrail(false)); settled != kResultOk) return settled;
        reply_.fill(0);
        if (SendFrame(frame) != kResultOk) return kResultNoRadio;
        if (StopRequestedBeforeReceive()) return kResultUserCancel;
        result = ReceiveReply(frame, reply_.data());
        if (result == kResultUserCancel) return result;
        if (result == kResultOk) result = CheckReplyOf(exchange, frame);
        if (state_ && state_->traceLog) trace_.Append(*writeImage_, *readImage_);
        if (unsettled_) {
            // Kept when this frame's echo came first; otherwise (bytes before it, or nothing that
            // tells) the reply before is done again, and then this frame from the start.
            if (PreviousReplyTrail() == Trail::Quiet) {
                unsettled_.reset();
            } else {
                if (const CloneResult redone = Redo(); redone != kResultOk) return redone;
                attempt = firstAttempt - 1;
                continue;
            }
        }
        if (result == kResultOk) break;
        if (timing_.fast) FallBack();
    }
    return result;
}

CloneResult CCloneEngine::RunExchange(Exchange exchange, const CloneFrame& frame, std::uint16_t address,
                                      std::size_t length, int firstAttempt) {
    const CloneResult result = RunAttempts(exchange, FrameBytes(frame), firstAttempt);
    if (result != kResultOk) return result;
    const bool read = exchange == Exchange::Read;
    if (LastReplyTrail(false) != Trail::Quiet) {
        unsettled_ = Unsettled{exchange, frame, address, read ? length : 0, {}};
        if (read) std::memcpy(unsettled_->before.data(), readImage_->data() + address, length);
    }
    if (read) std::memcpy(readImage_->data() + address, reply_.data() + kFrameDataOffset, length);
    return result;
}

CloneResult CCloneEngine::Settle(Trail trail) {
    if (trail == Trail::Quiet) unsettled_.reset();
    return trail == Trail::Trailed ? Redo() : kResultOk;
}

// A byte trailed the reply: that attempt failed, so the rest of the operation falls back, and
// the exchange has its remaining attempts.
CloneResult CCloneEngine::Redo() {
    const Unsettled redo = *unsettled_;
    Drop();
    FallBack();
    return RunExchange(redo.exchange, redo.frame, redo.address, redo.length, 1);
}

void CCloneEngine::Drop() {
    if (unsettled_ && unsettled_->exchange == Exchange::Read)
        std::memcpy(readImage_->data() + unsettled_->address, unsettled_->before.data(), unsettled_->length);
    unsettled_.reset();
}

// An operation ends settled: a good one watches the line after its last reply (and does that
// exchange again when a byte trailed it); a failed one keeps no read data it could not settle.
CloneResult CCloneEngine::Finish(CloneResult result) {
    if (!unsettled_) return result;
    if (result == kResultOk) {
        const Trail trail = LastReplyTrail(true);
        if (trail != Trail::Unknown) return Settle(trail);
        result = kResultUserCancel;
    }
    Drop();
    return result;
}

// The polls of the timing stay as given: the product's own, unless a test gave shorter ones.
void CCloneEngine::FallBack() {
    timing_.fast = false;
    fellBack_ = true;
    if (state_ && state_->traceLog) trace_.AppendMark(kTraceFallbackMark, *writeImage_, *readImage_);
}

bool CCloneEngine::StopRequestedBeforeReceive() const {
    return timing_.fast ? CloneStopEvent.IsSet() : CloneStopEvent.Wait(timing_.pollPeriod);
}

CloneResult CCloneEngine::HandShake() { return Finish(Identify()); }

CloneResult CCloneEngine::Identify() {
    if (!state_) return kResultBadParameter;  // the link's settings come from the state
    if (const CloneResult opened = OpenLink(); opened != kResultOk) return opened;
    return RunExchange(Exchange::Identify, MakeIdentifyFrame(), 0, 0, 0);
}

CloneResult CCloneEngine::ExchangeChunk(std::uint16_t address, std::size_t length, bool write) {
    const auto n = static_cast<std::uint8_t>(length);
    if (write) return RunExchange(Exchange::Write, MakeWriteFrame(address, writeImage_->data() + address, n), address, length, 0);
    return RunExchange(Exchange::Read, MakeReadFrame(address, n), address, length, 0);
}

CloneResult CCloneEngine::ExchangeWrite(std::uint16_t address, std::size_t length) {
    return Finish(ExchangeChunk(address, length, true));
}

CloneResult CCloneEngine::ExchangeRead(std::uint16_t address, std::size_t length) {
    return Finish(ExchangeChunk(address, length, false));
}

CloneResult CCloneEngine::WalkRange(std::uint32_t first, std::uint32_t length, bool write) {
    if (first >= kImageSize || first + length > kImageSize) return kResultBadParameter;
    CloneResult result = kResultOk;
    while (length > 0 && result == kResultOk && first < kImageSize) {
        const std::uint32_t chunk = std::min<std::uint32_t>(length, kChunkSize);
        const auto address = static_cast<std::uint16_t>(first);
        result = ExchangeChunk(address, chunk, write);
        first += chunk;
        length -= chunk;
        if (result == kResultOk && progress_) progress_->StepIt();
    }
    return result;
}

CloneResult CCloneEngine::WriteRange(std::uint32_t first, std::uint32_t length) {
    return Finish(WalkRange(first, length, true));
}

CloneResult CCloneEngine::ReadRange(std::uint32_t first, std::uint32_t length) {
    return Finish(WalkRange(first, length, false));
}

CloneResult CCloneEngine::WalkRanges(bool write) {
    AddressRange ranges[kMaxRanges];
    const int count = GetRanges(ranges, kMaxRanges);
    CloneResult result = kResultOk;
    for (int i = 0; i < count && result == kResultOk; ++i)
        result = WalkRange(ranges[i].first, ranges[i].last - ranges[i].first + 1u, write);
    return result;
}

void CCloneEngine::EndOperation(CloneResult result) {
    if (!shareLink_ || result != kResultOk) CloseLink();
}

void CCloneEngine::ReleaseLink() {
    CloseLink();
    linkAnswered_ = false;
}

void CCloneEngine::AnnounceRange() {
    AddressRange ranges[kMaxRanges];
    const int count = GetRanges(ranges, kMaxRanges);
    int steps = 0;
    for (int i = 0; i < count; ++i) steps += ranges[i].last - ranges[i].first;
    progress_->SetRange(0, steps / static_cast<int>(kChunkSize));
    progress_->SetStep(1);
}

CloneResult CCloneEngine::WriteRadio() {
    if (!IsReady()) return kResultBadParameter;
    ImageCodec(*state_, *settings_, *writeImage_, *readImage_).Encode();
    return WriteImageAsItIs();
}

CloneResult CCloneEngine::WriteImageAsItIs() {
    if (!IsReady()) return kResultBadParameter;
    if (state_->dumpImages) DumpImage(true);

    CloneResult result = std::exchange(linkAnswered_, false) ? kResultOk : Identify();
    if (result == kResultOk || AnnouncesRangeAfterFailedHandShake()) AnnounceRange();
    if (result == kResultOk) result = WalkRanges(true);
    result = Finish(result);

    EndOperation(result);
    progress_->SetPos(0);
    if (!shareLink_) CloseTrace();
    return result;
}

CloneResult CCloneEngine::ReadRadio() {
    if (!IsReady()) return kResultBadParameter;
    readImage_->fill(0);

    CloneResult result = Identify();
    if (result == kResultOk || AnnouncesRangeAfterFailedHandShake()) AnnounceRange();
    if (result == kResultOk) result = Identify();
    if (result == kResultOk) result = WalkRanges(false);
    result = Finish(result);
    if (result == kResultOk) ImageCodec(*state_, *settings_, *writeImage_, *readImage_).Decode();

    EndOperation(result);
    linkAnswered_ = shareLink_ && result == kResultOk;
    progress_->SetPos(0);
    if (state_->dumpImages) DumpImage(false);
    return result;
}

ChunkSpan ChunksHolding(std::uint32_t first, std::uint32_t last) {
    const std::uint32_t start = kCloneFirst + (first - kCloneFirst) / kChunkSize * kChunkSize;
    const std::uint32_t end =
        std::min<std::uint32_t>(kCloneLast + 1u, kCloneFirst + ((last - kCloneFirst) / kChunkSize + 1u) * kChunkSize);
    return {start, end};
}

CloneResult CCloneEngine::ReadChunksHolding(std::uint32_t first, std::uint32_t last) {
    if (!IsReady()) return kResultBadParameter;
    if (first < kCloneFirst || last > kCloneLast || first > last) return kResultBadParameter;
    readImage_->fill(0);
    linkAnswered_ = false;
    // The chunks the whole range walk reads, so the radio sees only frames it knows.
    const ChunkSpan chunks = ChunksHolding(first, last);

    CloneResult result = Identify();
    progress_->SetRange(0, static_cast<int>((chunks.end - chunks.start + kChunkSize - 1u) / kChunkSize));
    progress_->SetStep(1);
    if (result == kResultOk) result = WalkRange(chunks.start, chunks.end - chunks.start, false);
    result = Finish(result);

    EndOperation(result);
    progress_->SetPos(0);
    return result;
}

}  // namespace orven
