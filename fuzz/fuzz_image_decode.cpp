// Any bytes as the clone range of a radio image: decoding never reads or writes out of bounds,
// and the decoded document renders safely and encodes again.
#include "fuzz/FuzzSupport.h"
#include "model/ImageCodec.h"

#include <algorithm>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    auto readImage = std::make_unique<RadioImage>();
    auto writeImage = std::make_unique<RadioImage>();
    readImage->fill(0);
    const std::size_t n = std::min<std::size_t>(size, kCloneLast - kCloneFirst + 1u);
    std::copy(data, data + n, readImage->begin() + kCloneFirst);

    AppState state = FreshAppState();
    state.modelType = size > 0 ? data[0] % 3 : 0;
    auto settings = std::make_unique<RadioSettings>();
    ImageCodec(state, *settings, *writeImage, *readImage).Decode();
    if (PrivateChannelCount(*settings) > kMaxPrivateChannels) fuzz::Fail("more private channels than slots");
    fuzz::RenderEverything(*settings);
    ImageCodec(state, *settings, *writeImage, *readImage).Encode();
    for (std::size_t a = 0; a < kCloneFirst; ++a)
        if ((*writeImage)[a] != 0) fuzz::Fail("encoder wrote below the clone range");
    for (std::size_t a = kCloneLast + 1u; a < kImageSize; ++a)
        if ((*writeImage)[a] != 0) fuzz::Fail("encoder wrote above the clone range");
    return 0;
}
