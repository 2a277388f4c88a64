// What both clone engines share: the identify, read and write operations, the three-attempt
// exchange, the 20-byte range walk, progress, trace and dump files. An engine supplies only how
// a frame goes out, how a reply comes back, and which code a reply without the prefix gives.
//
// Used in this order on one thread: construct, set settings, state, progress and directory,
// OpenTrace, one of HandShake / WriteRadio / ReadRadio, destroy.
#pragma once

#include "GlobalDef.h"
#include "clone/CloneFrame.h"
#include "clone/CloneTiming.h"
#include "clone/CloneTrace.h"
#include "clone/ProgressSink.h"
#include "link/CObject.h"
#include "model/AppState.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orven {

// A span of radio addresses, last inclusive.
struct AddressRange {
    std::uint16_t first;
    std::uint16_t last;
};
inline constexpr int kMaxRanges = 6;

// The chunks of the clone range's walk in 20-byte steps that hold the addresses first to last
// (inside the clone range): where the first of them starts and where the last ends (exclusive).
struct ChunkSpan {
    std::uint32_t start;
    std::uint32_t end;
};
ChunkSpan ChunksHolding(std::uint32_t first, std::uint32_t last);

class CCloneEngine : public CObject {
    ORVEN_RUNTIME_CLASS(CCloneEngine, CObject)

public:
    CCloneEngine();
    ~CCloneEngine() override;
    CCloneEngine(const CCloneEngine&) = delete;
    CCloneEngine& operator=(const CCloneEngine&) = delete;

    // The settings block the operation works on: encoded by a write, decoded into by a read.
    void SetSettings(RadioSettings* settings) { settings_ = settings; }
    // Gives comPort, baudIndex (which the serial engine may correct), traceLog and dumpImages.
    void SetAppState(AppState* state) { state_ = state; }
    void SetProgress(ProgressSink* progress) { progress_ = progress; }
    // Folder of the trace and dump files.
    void SetDirectory(const std::string& directory) { directory_ = directory; }
    void SetTiming(const CloneTiming& timing) {
        timing_ = timing;
        fellBack_ = false;
    }
    // The images default to the process-wide WriteImage and ReadImage.
    void SetImages(RadioImage& writeImage, RadioImage& readImage);

    bool IsReady() const;

    // One identify exchange; the link stays open.
    CloneResult HandShake();
    // Encodes the settings and writes the clone range to the radio.
    CloneResult WriteRadio();
    // Writes the clone range of the write image as it stands, byte for byte (a restore).
    CloneResult WriteImageAsItIs();
    // Reads the clone range and, when all of it arrived, decodes it into the settings.
    CloneResult ReadRadio();
    // Reads, after one identify exchange, only the chunks of the clone range that hold the
    // addresses first to last, into a cleared read image; nothing is decoded. A short look at a
    // few fields, such as a write's check of what the radio now holds.
    CloneResult ReadChunksHolding(std::uint32_t first, std::uint32_t last);

    void OpenTrace();
    void CloseTrace();

    // Why the link failed, when it can say more than the result code (which port, which
    // process holds it); empty otherwise.
    virtual std::string FailureCause() const { return {}; }
    // A fast transfer goes over to the product's polled receive at its first failed attempt, for
    // the rest of the engine's operation (a radio may need the pauses the fast path leaves out),
    // and marks the place in the trace. Whether it did; cleared by SetTiming.
    bool FellBack() const { return fellBack_; }
    // The trace and dump files that were asked for and could not be written.
    const std::vector<std::string>& UnwrittenFiles() const { return unwritten_; }

    // Keeps the link and the trace open from one operation to the next until the engine goes (a
    // write's backup read, the write and its read-back), and lets a write that follows a good read
    // on it skip its identify exchange: the radio has just answered.
    void ShareLink() { shareLink_ = true; }
    // Lets go of a shared link at once, before a pause of unknown length: the next operation opens
    // it again and identifies the radio afresh.
    void ReleaseLink();

    // The ranges a transfer covers (always one: the clone range); returns their count.
    int GetRanges(AddressRange* ranges, int capacity) const;

    // One data frame with its attempts (length 1 to 20, address + length at most 0x2000).
    CloneResult ExchangeWrite(std::uint16_t address, std::size_t length);
    CloneResult ExchangeRead(std::uint16_t address, std::size_t length);
    // A range in chunks of 20 bytes, stepping the progress after each chunk.
    CloneResult WriteRange(std::uint32_t first, std::uint32_t length);
    CloneResult ReadRange(std::uint32_t first, std::uint32_t length);

protected:
    enum class Exchange { Identify, Read, Write };

    // Makes the link usable before the identify exchange: a failure code ends the handshake.
    virtual CloneResult OpenLink() = 0;
    virtual void CloseLink() = 0;
    // Sends the 32 bytes; non-zero when they could not be sent.
    virtual CloneResult SendFrame(const std::uint8_t* frame) = 0;
    // Collects one 32-byte reply to the frame `sent`: 0, kResultUserCancel, or the failure of
    // this attempt.
    virtual CloneResult ReceiveReply(const std::uint8_t* sent, std::uint8_t* reply) = 0;
    // The result of a reply that does not start with the frame prefix.
    virtual CloneResult PrefixFailure(Exchange exchange) const = 0;
    // Whether the progress range is announced even after a failed first handshake.
    virtual bool AnnouncesRangeAfterFailedHandShake() const = 0;

    // What followed a reply on the line. A fast serial receive takes a reply at its last byte,
    // before the line can show that no byte trails it (a byte repeated on the line shifts the
    // reply, and its checksum may still pass). The exchange stays unsettled until the line shows
    // it: bytes waiting before the next frame goes, or coming before that frame's echo, fail it
    // and it is done again; the next echo coming first, or a line as long quiet, keeps it. A USB
    // report comes whole, so every reply is settled as it comes.
    enum class Trail { Unknown, Quiet, Trailed };
    // What has come since the last reply was taken; with `wait`, watches the line (testing the
    // stop event) until it tells, and Unknown means stopped.
    virtual Trail LastReplyTrail(bool /*wait*/) { return Trail::Quiet; }
    // What the last receive showed of the bytes after the reply taken before it.
    virtual Trail PreviousReplyTrail() const { return Trail::Quiet; }

    const CloneTiming& Timing() const { return timing_; }
    const AppState* State() const { return state_; }
    AppState* State() { return state_; }

private:
    // A good exchange whose reply was taken before the line could settle it; a read's data went
    // into the read image over `before`.
    struct Unsettled {
        Exchange exchange;
        CloneFrame frame;
        std::uint16_t address;
        std::size_t length;
        std::array<std::uint8_t, kFrameDataSize> before;
    };

    CloneResult Identify();
    CloneResult ExchangeChunk(std::uint16_t address, std::size_t length, bool write);
    CloneResult RunExchange(Exchange exchange, const CloneFrame& frame, std::uint16_t address, std::size_t length,
                            int firstAttempt);
    CloneResult RunAttempts(Exchange exchange, const std::uint8_t* frame, int firstAttempt);
    CloneResult Settle(Trail trail);
    CloneResult Redo();
    void Drop();
    CloneResult Finish(CloneResult result);
    bool StopRequestedBeforeReceive() const;
    void FallBack();
    CloneResult CheckReplyOf(Exchange exchange, const std::uint8_t* frame) const;
    CloneResult WalkRange(std::uint32_t first, std::uint32_t length, bool write);
    CloneResult WalkRanges(bool write);
    void AnnounceRange();
    // Lets go of the link after an operation, unless it is shared and the operation went well.
    void EndOperation(CloneResult result);
    void DumpImage(bool isWrite);
    std::string PathOf(const char* name) const;

    RadioSettings* settings_ = nullptr;
    AppState* state_ = nullptr;
    ProgressSink* progress_ = nullptr;
    std::string directory_;
    CloneTiming timing_ = kProductTiming;
    bool fellBack_ = false;
    bool shareLink_ = false;
    bool linkAnswered_ = false;  // a shared link's last operation was a good read
    std::optional<Unsettled> unsettled_;
    RadioImage* writeImage_;
    RadioImage* readImage_;
    CloneTrace trace_;
    std::vector<std::string> unwritten_;
    std::array<std::uint8_t, kFrameSize> reply_{};
};

}  // namespace orven
