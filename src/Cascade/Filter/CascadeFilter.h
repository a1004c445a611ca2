#pragma once

namespace tovrin {

// The three grid switches. No equality: users make a new one for every change.
class CascadeFilter {
public:
    CascadeFilter(bool onlineNow, bool myType, bool favorite)
        : onlineNow_(onlineNow), myType_(myType), favorite_(favorite) {}

    bool onlineNow() const { return onlineNow_; }
    void setOnlineNow(bool onlineNow) { onlineNow_ = onlineNow; }
    bool myType() const { return myType_; }
    void setMyType(bool myType) { myType_ = myType; }
    bool favorite() const { return favorite_; }
    void setFavorite(bool favorite) { favorite_ = favorite; }

private:
    bool onlineNow_;
    bool myType_;
    bool favorite_;
};

}  // namespace tovrin
