#pragma once

#include "CropTable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tavik {

class cProfile;

// The program-wide state through which the wizard's screens hand on their results. One
// instance lives for the whole run; screens hold a reference to it. Nothing is persisted.
struct mType {
    // The opened crop workbook: its first sheet's used range, from start-up until the crop
    // screen has copied it into CropData.
    std::optional<SheetCells> CropWorkbook;
    // Crop table, rows 0..RowCount, columns 1..37 (filled once, by the crop screen's load).
    CropTable CropData;
    // Row of the chosen crop in CropData (option index + 2); 0 until a crop is chosen.
    std::int16_t CropRow = 0;
    // Target yield on the crop screen's slider, kg/ha.
    float TargetYield = 0.0F;
    // Plant-available water capacity of the whole profile, mm.
    float ProfilePAWC = 0.0F;
    // Thickness of the deepest soil layer, mm; every other layer is kLayerThicknessMm thick.
    float BottomLayerThickness = 0.0F;
    // The soil profile model; a new one whenever the soil depth changes.
    std::shared_ptr<cProfile> SoilProfile;
    // Stored soil water, mm: start of peak minus start of season, end of peak minus start of
    // peak, end of season minus end of peak.
    float StorageChangeEarly = 0.0F;
    float StorageChangePeak = 0.0F;
    float StorageChangeLate = 0.0F;
    // Running speed (%) = SpeedCoefficient × amount (mm) ^ SpeedExponent, fitted to the
    // sprinkler package; both zero until the sprinkler screen's Next.
    double SpeedCoefficient = 0.0;
    double SpeedExponent = 0.0;
    // Title of the program's message boxes.
    std::string AppTitle;
};

inline constexpr const char* kAppTitle = "TAVIK+";
inline constexpr const char* kWorkbookFileName = "SampleData.xls";

// Copies the opened workbook into CropData and releases it (CropWorkbook becomes empty).
// Returns what CropTable::load reports. Without an opened workbook the table stays empty.
CropTable::LoadResult loadCropData(mType& state);

} // namespace tavik
