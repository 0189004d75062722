#include "WizardState.h"

namespace tavik {

CropTable::LoadResult loadCropData(mType& state) {
    CropTable::LoadResult result;
    if (state.CropWorkbook) {
        result = state.CropData.load(*state.CropWorkbook);
    }
    state.CropWorkbook.reset();
    return result;
}

} // namespace tavik
