#pragma once

#include "Cascade/Filter/FilterOption.h"

namespace tovrin {

// The member's "My Type" search filter: nine options, compared, hashed and tested in this order.
// Ranges are in years (age), grams (weight) and centimetres (height). Immutable, with value
// equality.
class Filter {
public:
    Filter(ToggleFilterOption photosOnly, MinMaxFilterOption age, MinMaxFilterOption weight,
           MinMaxFilterOption height, OptionsFilterOption tribes, OptionsFilterOption bodyTypes,
           OptionsFilterOption ethnicities, OptionsFilterOption lookingFors,
           OptionsFilterOption relationshipStatuses);

    const ToggleFilterOption& photosOnly() const { return photosOnly_; }
    const MinMaxFilterOption& age() const { return age_; }
    const MinMaxFilterOption& weight() const { return weight_; }
    const MinMaxFilterOption& height() const { return height_; }
    const OptionsFilterOption& tribes() const { return tribes_; }
    const OptionsFilterOption& bodyTypes() const { return bodyTypes_; }
    const OptionsFilterOption& ethnicities() const { return ethnicities_; }
    const OptionsFilterOption& lookingFors() const { return lookingFors_; }
    const OptionsFilterOption& relationshipStatuses() const { return relationshipStatuses_; }

    // Whether any option is switched on; an open range or an empty list counts.
    bool isAnyFilterApplied() const;

    friend bool operator==(const Filter&, const Filter&) = default;
    size_t hash() const;

private:
    ToggleFilterOption photosOnly_;
    MinMaxFilterOption age_;
    MinMaxFilterOption weight_;
    MinMaxFilterOption height_;
    OptionsFilterOption tribes_;
    OptionsFilterOption bodyTypes_;
    OptionsFilterOption ethnicities_;
    OptionsFilterOption lookingFors_;
    OptionsFilterOption relationshipStatuses_;
};

}  // namespace tovrin
