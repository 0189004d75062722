#pragma once

#include "Notifier.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// Why ComputeParameters stopped part-way. The values of earlier layers, and of the earlier
// steps of the failing layer, stay stored; the rest stay 0.
struct ProfileError {
    enum class Kind { DivisionByZero, Overflow, InvalidOperation, SubscriptOutOfRange };
    Kind kind;
    std::int16_t layer; // the layer being computed
    std::string describe() const;
};

// The layered soil profile: the depth, its layers of nominally kLayerThicknessMm, and per layer the
// soil water parameters that follow from its silt + clay percentage. Per-layer values are
// indexed from 1 (the top layer). Reading a layer that does not exist throws
// std::out_of_range; writing a read-only property changes nothing and tells the notifier.
class cProfile {
public:
    explicit cProfile(Notifier* notifier = nullptr) : notifier_(notifier) {}

    // Depth in mm: stored unchanged, read rounded to the nearest integer (halves to even).
    std::int16_t Depth() const;
    void setDepth(std::int16_t iNewValue);

    // The depth in whole layers, rounded half up (see layerCountOf).
    std::int16_t NumberOfLayers();
    void setNumberOfLayers(std::int16_t);

    float DUL(std::int16_t nIndex) const;
    void setDUL(std::int16_t nIndex, float dNewValue);
    float Theta1500Pa(std::int16_t nIndex) const;
    void setTheta1500Pa(std::int16_t nIndex, float dNewValue);
    float ActualTheta(std::int16_t layernumber) const;
    void setActualTheta(std::int16_t layernumber, float dNewValue);
    float FSRvalue(std::int16_t layernumber) const;
    void setFSRvalue(std::int16_t layernumber, float dNewValue);
    float Cval(std::int16_t layernumber) const;
    void setCval(std::int16_t layernumber, float dNewValue);

    // Fills the per-layer arrays from the silt + clay percentage of each layer
    // (siltPlusclay[i] for layer i = 1..NumberOfLayers; element 0 is not read), the crop's
    // limiting leaf water potential (kPa) and its crop factor K. With no layer the user is
    // told to set the depth first and nothing changes. An arithmetic failure ends the run
    // and is returned.
    std::optional<ProfileError> ComputeParameters(const std::vector<float>& siltPlusclay,
                                                  float LeafPot, float K);

    // Number of layers the arrays were last computed for (0 before any run).
    std::int16_t computedLayers() const;

    static constexpr const char* kTitle = "Class Profile";

private:
    float at(const std::vector<float>& values, std::int16_t index) const;
    void refuse(const char* property) const;

    Notifier* notifier_;
    float depth_ = 0.0F;
    std::int16_t numberOfLayers_ = 0;
    // Indexed 1..n; element 0 unused; empty until the first run with layers.
    std::vector<float> ThetaA_, Theta1500Pa_, Cval_, DUL_, ActualTheta_, FSRvalue_;
};

} // namespace tavik
