#include "Cascade/Filter/Filter.h"

namespace tovrin {

Filter::Filter(ToggleFilterOption photosOnly, MinMaxFilterOption age, MinMaxFilterOption weight,
               MinMaxFilterOption height, OptionsFilterOption tribes, OptionsFilterOption bodyTypes,
               OptionsFilterOption ethnicities, OptionsFilterOption lookingFors,
               OptionsFilterOption relationshipStatuses)
    : photosOnly_(photosOnly),
      age_(age),
      weight_(weight),
      height_(height),
      tribes_(std::move(tribes)),
      bodyTypes_(std::move(bodyTypes)),
      ethnicities_(std::move(ethnicities)),
      lookingFors_(std::move(lookingFors)),
      relationshipStatuses_(std::move(relationshipStatuses)) {}

bool Filter::isAnyFilterApplied() const {
    const FilterOption* options[] = {&photosOnly_,  &age_,         &weight_,
                                     &height_,      &tribes_,      &bodyTypes_,
                                     &ethnicities_, &lookingFors_, &relationshipStatuses_};
    for (const FilterOption* option : options) {
        if (option->isEnabled()) return true;
    }
    return false;
}

size_t Filter::hash() const {
    return photosOnly_.hash() ^ 3 * age_.hash() ^ 7 * weight_.hash() ^ 11 * height_.hash() ^
           13 * tribes_.hash() ^ 17 * bodyTypes_.hash() ^ 19 * ethnicities_.hash() ^
           23 * lookingFors_.hash() ^ 29 * relationshipStatuses_.hash();
}

}  // namespace tovrin
