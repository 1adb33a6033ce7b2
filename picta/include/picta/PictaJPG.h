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

    // The JFIF density unit of the last load: 0 when the densities are only a pixel aspect
    // ratio, 1 dots per inch, 2 dots per centimetre; -1 without a JFIF marker.
    int GetDensityUnit() const { return m_nDensityUnit; }
    int GetXDensity() const { return m_nXDensity; }
    int GetYDensity() const { return m_nYDensity; }
    // 1 when the last load met damaged or missing data (a cut file ends as if complete).
    int IsDamaged() const { return m_bDamaged; }

private:
    int m_nDensityUnit = -1;
    int m_nXDensity = 0;
    int m_nYDensity = 0;
    int m_bDamaged = 0;
};
