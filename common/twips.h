#pragma once

namespace promemo {

// Positions and sizes are kept in twips, 15 to a pixel.
inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel; 15 is odd, so there are no ties.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace promemo
