#include "cProfile.h"

#include "SoilLayers.h"

#include <cmath>
#include <stdexcept>

namespace tavik {

namespace {

// One arithmetic step of the profile computation, failing the way the arithmetic would.
class Step {
public:
    explicit Step(std::int16_t layer) : layer_(layer) {}

    double divide(double numerator, double denominator) {
        if (denominator == 0.0) {
            fail(ProfileError::Kind::DivisionByZero);
        }
        return numerator / denominator;
    }
    double power(double base, double exponent) {
        if (base == 0.0 && exponent < 0.0) {
            fail(ProfileError::Kind::DivisionByZero);
        }
        if (base < 0.0 && exponent != std::floor(exponent)) {
            fail(ProfileError::Kind::InvalidOperation);
        }
        return checked(std::pow(base, exponent));
    }
    double log(double value) {
        if (!(value > 0.0)) {
            fail(ProfileError::Kind::InvalidOperation);
        }
        return checked(std::log(value));
    }
    double checked(double value) {
        if (std::isnan(value)) {
            fail(ProfileError::Kind::InvalidOperation);
        }
        if (std::isinf(value)) {
            fail(ProfileError::Kind::Overflow);
        }
        return value;
    }
    // A value stored as a 32-bit float; beyond the float range it is an overflow.
    float store(double value) {
        const auto stored = static_cast<float>(checked(value));
        if (std::isinf(stored)) {
            fail(ProfileError::Kind::Overflow);
        }
        return stored;
    }

    struct Failure {
        ProfileError error;
    };

private:
    [[noreturn]] void fail(ProfileError::Kind kind) { throw Failure{{kind, layer_}}; }
    std::int16_t layer_;
};

} // namespace

std::string ProfileError::describe() const {
    std::string what;
    switch (kind) {
    case Kind::DivisionByZero:
        what = "division by zero";
        break;
    case Kind::Overflow:
        what = "overflow";
        break;
    case Kind::InvalidOperation:
        what = "invalid operation";
        break;
    case Kind::SubscriptOutOfRange:
        what = "no silt + clay value";
        break;
    }
    return what + " in soil layer " + std::to_string(layer);
}

std::int16_t cProfile::Depth() const {
    return static_cast<std::int16_t>(std::nearbyint(depth_));
}

void cProfile::setDepth(std::int16_t iNewValue) {
    depth_ = static_cast<float>(iNewValue);
}

std::int16_t cProfile::NumberOfLayers() {
    const double layers = layerCountOf(static_cast<double>(depth_));
    numberOfLayers_ = static_cast<std::int16_t>(layers);
    return numberOfLayers_;
}

void cProfile::setNumberOfLayers(std::int16_t) {
    refuse("NumberOfLayers");
}

float cProfile::at(const std::vector<float>& values, std::int16_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) >= values.size()) {
        throw std::out_of_range("subscript out of range: soil layer " + std::to_string(index));
    }
    return values[static_cast<std::size_t>(index)];
}

void cProfile::refuse(const char* property) const {
    if (notifier_ != nullptr) {
        notifier_->notify(Notifier::Icon::Warning, kTitle,
                          std::string(property) + " is read only property!");
    }
}

float cProfile::DUL(std::int16_t nIndex) const {
    return at(DUL_, nIndex);
}
void cProfile::setDUL(std::int16_t, float) {
    refuse("DUL");
}
float cProfile::Theta1500Pa(std::int16_t nIndex) const {
    return at(Theta1500Pa_, nIndex);
}
void cProfile::setTheta1500Pa(std::int16_t, float) {
    refuse("Theta1500Pa");
}
float cProfile::ActualTheta(std::int16_t layernumber) const {
    return at(ActualTheta_, layernumber);
}
void cProfile::setActualTheta(std::int16_t, float) {
    refuse("ActualTheta");
}
float cProfile::FSRvalue(std::int16_t layernumber) const {
    return at(FSRvalue_, layernumber);
}
void cProfile::setFSRvalue(std::int16_t, float) {
    refuse("FSRvalue");
}
float cProfile::Cval(std::int16_t layernumber) const {
    return at(Cval_, layernumber);
}
void cProfile::setCval(std::int16_t, float) {
    refuse("Cval");
}

std::int16_t cProfile::computedLayers() const {
    return DUL_.empty() ? 0 : static_cast<std::int16_t>(DUL_.size() - 1);
}

std::optional<ProfileError> cProfile::ComputeParameters(const std::vector<float>& siltPlusclay,
                                                        float LeafPot, float K) {
    const std::int16_t n = NumberOfLayers();
    if (n <= 0) {
        if (notifier_ != nullptr) {
            notifier_->notify(Notifier::Icon::Information, kTitle,
                              "PLease set the soil depth first, before calling ComputeParameters");
        }
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(n) + 1;
    for (auto* values : {&ThetaA_, &Theta1500Pa_, &Cval_, &DUL_, &ActualTheta_, &FSRvalue_}) {
        values->assign(size, 0.0F);
    }
    try {
        for (std::int16_t i = 1; i <= n; ++i) {
            const auto at = static_cast<std::size_t>(i);
            Step step(i);
            if (at >= siltPlusclay.size()) {
                return ProfileError{ProfileError::Kind::SubscriptOutOfRange, i};
            }
            const auto sc = static_cast<double>(siltPlusclay[at]);
            ThetaA_[at] = step.store(0.0345 * step.power(sc, 0.611));
            Theta1500Pa_[at] = step.store(0.00385 * sc + 0.013);
            const double ratio = step.divide(static_cast<double>(Theta1500Pa_[at]),
                                             static_cast<double>(ThetaA_[at]));
            Cval_[at] = step.store(step.divide(-5.0056, step.log(ratio)));
            DUL_[at] = step.store(0.0037 * sc + 0.139);
            const double first =
                step.power(static_cast<double>(Theta1500Pa_[at]), static_cast<double>(Cval_[at]));
            const double scaled =
                step.divide(step.checked(first * 1500.0), static_cast<double>(LeafPot));
            ActualTheta_[at] =
                step.store(step.power(scaled, step.divide(1.0, static_cast<double>(Cval_[at]))));
            FSRvalue_[at] =
                step.store(static_cast<double>(siltPlusclay[at]) * static_cast<double>(K));
        }
    } catch (const Step::Failure& failure) {
        return failure.error;
    }
    return std::nullopt;
}

} // namespace tavik
