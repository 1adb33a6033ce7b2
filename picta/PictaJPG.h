// JPEG images through libjpeg (library version 62): scaled decoding with progress, encoding with
// a quality, and lossless re-orientation of JPEG files.
#pragma once

#include "picta/Picta.h"

class PictaJPG : public Picta {
public:
    int PreLoad(GFile* file, int& width, int& height) override;
    int Load(GFile* file, PICTAPROGRESS progress, void* user) override;
    int Save(GFile* file, PICTAPROGRESS progress, void* user) override;
    // Applies an eTransformCode to the JPEG data of source without decoding it; partial edge
    // blocks that cannot move are trimmed.
    int SaveRotation(GFile* target, GFile* source, int code) override;
    void SetOutputWidth(int width) override;
    void SetOutputHeight(int height) override;
    void SetOutputPercent(int percent) override;

    // The scale denominator libjpeg decodes at for a requested 1/d: 1, 2, 4 or 8.
    static int SupportedDenominator(int d);
};
