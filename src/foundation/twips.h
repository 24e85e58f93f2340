#pragma once
// Window definitions are measured in twips; 15 twips make one device-independent pixel.

constexpr double TwipsPerPixel = 15.0;

constexpr int Twips(double twips)
{
    return static_cast<int>(twips / TwipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}

constexpr double PixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}
