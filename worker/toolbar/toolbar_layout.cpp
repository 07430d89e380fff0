#include "worker/toolbar/toolbar_layout.h"

#include "common/dpi.h"

namespace kestrow {

int HitTestStrip(const std::vector<StripItem>& items, const Rect& strip, int x, int y, int dpi) {
    const int m = Scale(3, dpi);  // the margin scales with the items it surrounds
    const Rect inner{strip.left + m, strip.top + m, strip.right - m, strip.bottom - m};
    if (!inner.Contains({x, y})) return -1;
    const int xs = x - strip.left;
    if (xs <= 0) return -1;
    for (size_t i = 0; i < items.size(); ++i) {
        const StripItem& item = items[i];
        if (item.layout.left <= xs && xs <= item.layout.right)
            return (item.style & kItemSeparator) ? -1 : int(i);
    }
    return -1;
}

StripItem* StripState::Find(int id) {
    for (StripItem& item : items_)
        if (item.id == id) return &item;
    return nullptr;
}

bool StripState::Hover(int hitId, std::vector<int>& changed) {
    if (hitId == hovered_) return false;
    if (StripItem* old = Find(hovered_)) {
        old->state &= ~kItemHover;
        changed.push_back(old->id);
    }
    hovered_ = hitId;
    if (StripItem* now = Find(hitId)) {
        now->state |= kItemHover;
        changed.push_back(now->id);
    }
    return true;
}

void StripState::Press(std::vector<int>& changed) {
    if (StripItem* item = Find(hovered_)) {
        item->state = (item->state | kItemPressed) & ~kItemHover;
        changed.push_back(item->id);
    }
}

int StripState::Release(std::vector<int>& changed) {
    if (hovered_ <= 0) return 0;
    StripItem* item = Find(hovered_);
    if (!item) return 0;
    if (!(item->style & kItemCheckGroup)) {
        item->state = (item->state | kItemHover) & ~(kItemPressed | kItemChecked);
    } else if (checked_ != item->id) {
        if (StripItem* old = Find(checked_)) {
            old->state &= ~kItemChecked;
            changed.push_back(old->id);
        }
        checked_ = item->id;
        item->state = (item->state | kItemChecked) & ~kItemPressed;
    } else {
        // A checked tool clicked again stays checked and sends its command again.
        item->state &= ~kItemPressed;
    }
    changed.push_back(item->id);
    return item->id;
}

void StripState::Leave(std::vector<int>& changed) {
    if (StripItem* item = Find(hovered_)) {
        item->state &= ~kItemHover;
        changed.push_back(item->id);
    }
    for (StripItem& item : items_)
        if (item.state & kItemPressed) {
            item.state &= ~kItemPressed;
            changed.push_back(item.id);
        }
    hovered_ = kLeft;
}

void StripState::ResetStates() {
    for (StripItem& item : items_) item.state = 0;
    hovered_ = checked_ = kNone;
}

void StripState::SetChecked(int id, bool on, std::vector<int>& changed) {
    ResetStates();
    StripItem* item = Find(id);
    if (!item || !(item->style & kItemCheckGroup)) return;
    if (on) {
        item->state |= kItemChecked;
        checked_ = id;
    } else {
        item->state &= ~kItemChecked;
        checked_ = kNone;
    }
    changed.push_back(id);
}

Rect PlaceToolbarRect(const Rect& s, int width, const Rect& client, int dpi) {
    const int height = Scale(kToolbarHeight, dpi), gap = Scale(5, dpi), above = Scale(31, dpi);
    int top = s.bottom + gap, bottom = top + height;
    int right = s.right, left = s.right - width;
    if (bottom > client.bottom) {
        top = s.top - client.top > above ? s.top - above : s.top + gap;
        bottom = top + height;
    }
    if (right > client.right) {
        left = client.right - width;
        right = left + width;
    }
    if (left < client.left) {
        left = client.left;
        right = left + width;
    }
    return {left, top, right, bottom};
}

}  // namespace kestrow
