// Day/night compositing: the night picture generated from the day image, the
// day weight of every pixel for a sun position, and the dithered blend of the
// day image with a night source.
//
// Pixel buffers hold width x height pixels of 3 bytes (blue, green, red),
// rows bottom-up (row 0 is the southernmost), no padding between rows: the
// pixel of column i and row j starts at byte 3 * (width * j + i).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace uv {

// Largest map the renderer takes: five buffers of this size must fit into the
// shell's 32-bit address space beside everything else.
constexpr int kMaxMapWidth = 16384;
constexpr int kMaxMapHeight = 8192;
constexpr long long kMaxMapPixels = 8192LL * 4096;

enum class MapImageCheck {
    Ok,
    Empty,                // a dimension is zero or negative
    WidthNotMultipleOf4,  // rows of the bitmap transfer would carry padding
    TooLarge,
    NightSizeDiffers,  // the night image must have the day image's size
};

// Whether map images of these sizes can be used: the bitmap transfers need a
// width that is a multiple of 4. The desktop host and the render tool call
// this before allocating anything.
MapImageCheck CheckMapImages(int dayWidth, int dayHeight, int nightWidth, int nightHeight);
bool IsUsableMapSize(int width, int height);
// A short English sentence for messages and debug output.
const char* DescribeMapImageCheck(MapImageCheck check);
// 3 * width * height, or 0 for a size that is not usable.
std::size_t PixelBufferSize(int width, int height);

// Sizes the compositing functions below take (a picture composed at another
// size than the images' may have any width); they do nothing for others.
bool IsComposableSize(int width, int height);

// "dawn dusk width" as a whole percentage to the band width fraction.
float BandWidthFraction(int percent);

// A pseudo-random source with the C runtime's range, 0..32767, drawn once per
// pixel in the compositing's pixel order (the plain form takes one).
using RandomSource = int (*)();

// The Windows C runtime's generator, as the dithering is defined with it:
// each draw sets state = state * 214013 + 2531011 and gives
// (state >> 16) & 0x7fff. Bit 31 of the state never reaches a number.
int NextRandom(std::uint32_t& state);

// The state before three numbers that the generator just gave, in the order
// given. False when no state gives them (another generator). Three numbers
// always fix the 31 bits that matter.
bool RecoverRandomState(const int numbers[3], std::uint32_t& stateBefore);

// Dark blue night picture from the day image.
void GenerateNightPixels(const std::uint8_t* dayPixels, std::uint8_t* generatedNightPixels, int width,
                         int height);

// The mask has one byte per pixel, width * height bytes, rows bottom-up like
// the pixel buffers: the weight of column i and row j is byte width * j + i.
// 0 for a size that is not composable.
std::size_t MaskBufferSize(int width, int height);

// Writes the day weight (255 full day, 0 full night) of every pixel into the
// mask. Angles in radians, bandWidth a fraction of 90 degrees of sun
// elevation. False when nothing was written (unusable size, memory short).
bool ComputeDayMask(std::uint8_t* maskBuffer, int width, int height, double subsolarLongitude,
                    double declination, double bandWidth);

// The graded twilight's day weights in place of the band: full day while
// the sun is up, then three quarters, a half and a quarter of the day image
// while its centre is less than 6, 12 and 18 degrees down (civil, nautical
// and astronomical twilight), then full night; each grade passes into the
// next smoothly within about 0.7 degrees. "dawn dusk width" plays no part.
bool ComputeGradedDayMask(std::uint8_t* maskBuffer, int width, int height, double subsolarLongitude,
                          double declination);
// The graded weight (0..255) where the sine of the sun's elevation is d.
int GradedTwilightWeight(double d);

// Where a thread's C runtime rand starts when nothing seeded it: the state
// a picture is dithered from when its bytes must not depend on what was
// drawn before.
constexpr std::uint32_t kFreshRandomState = 1;

struct RandomJump;

// The blend's output, kept by whoever composes from one picture to the next
// and made again only when the size changes.
class BlendBuffer {
public:
    BlendBuffer();
    ~BlendBuffer();
    BlendBuffer(BlendBuffer&& other) noexcept;
    BlendBuffer& operator=(BlendBuffer&& other) noexcept;

    void Free();
    // The size the buffer is allocated for (0 x 0 if none).
    int width() const { return width_; }
    int height() const { return height_; }

private:
    friend const std::uint8_t* BlendDayNight(BlendBuffer&, const std::uint8_t*, const std::uint8_t*,
                                             const std::uint8_t*, int, int, std::uint32_t&);
    std::unique_ptr<std::uint8_t[]> pixels_;
    // columnJump_[i] advances the generator by i * height draws, from the
    // number of a pixel in column 0 to that of the pixel of the same row in
    // column i; columnJump_[width] is a whole picture.
    std::unique_ptr<RandomJump[]> columnJump_;
    int width_ = 0;
    int height_ = 0;
};

// Blends day and night by the mask into buffer and returns its pixels (valid
// until the buffer's next blend or its end). The pixel of column i and row j
// is dithered with number i * height + j + 1 of the generator started at
// randomState, which is left advanced by width * height draws. nullptr, with
// randomState unchanged, when the size is not composable or memory is short.
const std::uint8_t* BlendDayNight(BlendBuffer& buffer, const std::uint8_t* dayPixels,
                                  const std::uint8_t* nightPixels, const std::uint8_t* maskBuffer, int width,
                                  int height, std::uint32_t& randomState);

}  // namespace uv
