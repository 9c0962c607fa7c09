// Kamishibai Studio: edits that know how to undo themselves. Each keeps only what it changes:
// the slides it adds, removes or alters, or the new order as indices.
#include "studio/edit_history.h"

#include <algorithm>
#include <numeric>

namespace kamishibai {
namespace {

using Slides = std::vector<ManifestSlide>;
using Order = std::vector<std::size_t>;  // order[i]: the index before the edit of slide i

Selection range(std::size_t from, std::size_t count) {
  Selection selection(count);
  std::iota(selection.begin(), selection.end(), from);
  return selection;
}

// The indices that are slides, sorted, each once.
Selection valid(Selection selection, std::size_t size) {
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
  selection.erase(std::lower_bound(selection.begin(), selection.end(), size), selection.end());
  return selection;
}

bool isIdentity(const Order& order) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] != i) return false;
  }
  return true;
}

}  // namespace

class EditHistory::Edit {
 public:
  explicit Edit(std::string name) : name_(std::move(name)) {}
  virtual ~Edit() = default;
  // Each returns the slides to select afterwards.
  virtual Selection apply(ManifestShow& show) = 0;
  virtual Selection revert(ManifestShow& show) = 0;
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

namespace {

class InsertSlides : public EditHistory::Edit {
 public:
  InsertSlides(std::size_t at, Slides slides)
      : Edit("Add slides"), at_(at), slides_(std::move(slides)) {}
  Selection apply(ManifestShow& show) override {
    show.slides.insert(show.slides.begin() + static_cast<std::ptrdiff_t>(at_), slides_.begin(),
                       slides_.end());
    return range(at_, slides_.size());
  }
  Selection revert(ManifestShow& show) override {
    const auto first = show.slides.begin() + static_cast<std::ptrdiff_t>(at_);
    show.slides.erase(first, first + static_cast<std::ptrdiff_t>(slides_.size()));
    return {};
  }

 private:
  std::size_t at_;
  Slides slides_;
};

class RemoveSlides : public EditHistory::Edit {
 public:
  explicit RemoveSlides(Selection selected) : Edit("Remove slides"), at_(std::move(selected)) {}
  Selection apply(ManifestShow& show) override {
    removed_.clear();
    for (const std::size_t index : at_) removed_.push_back(show.slides[index]);
    for (auto index = at_.rbegin(); index != at_.rend(); ++index)
      show.slides.erase(show.slides.begin() + static_cast<std::ptrdiff_t>(*index));
    // The slide that followed the first removed one now stands in its place.
    if (at_.front() < show.slides.size()) return {at_.front()};
    return show.slides.empty() ? Selection{} : Selection{show.slides.size() - 1};
  }
  Selection revert(ManifestShow& show) override {
    for (std::size_t i = 0; i < at_.size(); ++i) {
      show.slides.insert(show.slides.begin() + static_cast<std::ptrdiff_t>(at_[i]), removed_[i]);
    }
    return at_;
  }

 private:
  Selection at_;
  Slides removed_;
};

class ReorderSlides : public EditHistory::Edit {
 public:
  ReorderSlides(Order order, Selection before, Selection after)
      : Edit("Move slides"),
        order_(std::move(order)),
        before_(std::move(before)),
        after_(std::move(after)) {}
  Selection apply(ManifestShow& show) override {
    Slides moved;
    moved.reserve(order_.size());
    for (const std::size_t from : order_) moved.push_back(std::move(show.slides[from]));
    show.slides = std::move(moved);
    return after_;
  }
  Selection revert(ManifestShow& show) override {
    Slides back(order_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) back[order_[i]] = std::move(show.slides[i]);
    show.slides = std::move(back);
    return before_;
  }

 private:
  Order order_;
  Selection before_, after_;
};

class ChangeSlides : public EditHistory::Edit {
 public:
  ChangeSlides(std::string what, Selection at, Slides before, Slides after)
      : Edit(std::move(what)),
        at_(std::move(at)),
        before_(std::move(before)),
        after_(std::move(after)) {}
  Selection apply(ManifestShow& show) override { return put(show, after_); }
  Selection revert(ManifestShow& show) override { return put(show, before_); }

 private:
  Selection put(ManifestShow& show, const Slides& slides) {
    for (std::size_t i = 0; i < at_.size(); ++i) show.slides[at_[i]] = slides[i];
    return at_;
  }

  Selection at_;
  Slides before_, after_;
};

class ChangeSettings : public EditHistory::Edit {
 public:
  ChangeSettings(std::string what, ManifestSettings before, ManifestSettings after)
      : Edit(std::move(what)), before_(std::move(before)), after_(std::move(after)) {}
  Selection apply(ManifestShow& show) override {
    show.settings = after_;
    return {};
  }
  Selection revert(ManifestShow& show) override {
    show.settings = before_;
    return {};
  }

 private:
  ManifestSettings before_, after_;
};

// The order that moves each selected slide one place towards the start (step -1) or the end
// (step +1); a selected slide at the end, or behind one that cannot move, stays.
Order stepOrder(std::size_t size, const Selection& selected, int step) {
  Order order(size);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::vector<char> chosen(size, 0);
  for (const std::size_t index : selected) chosen[index] = 1;
  const auto moveOne = [&](std::size_t index) {
    const std::size_t other = step < 0 ? index - 1 : index + 1;
    if ((step < 0 && index == 0) || (step > 0 && index + 1 == size) || chosen[other]) return;
    std::swap(order[index], order[other]);
    std::swap(chosen[index], chosen[other]);
  };
  if (step < 0) {
    std::for_each(selected.begin(), selected.end(), moveOne);
  } else {
    std::for_each(selected.rbegin(), selected.rend(), moveOne);
  }
  return order;
}

// Where the slides of the selection stand after the reorder.
Selection selectedAfter(const Order& order, const Selection& selected) {
  Selection after;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (std::binary_search(selected.begin(), selected.end(), order[i])) after.push_back(i);
  }
  return after;
}

}  // namespace

EditHistory::EditHistory(ShowDocument& document) : document_(document) {}
EditHistory::~EditHistory() = default;

Selection EditHistory::perform(std::unique_ptr<Edit> edit) {
  Selection selection = edit->apply(document_.editableShow());
  done_.push_back(std::move(edit));
  undone_.clear();
  return selection;
}

Selection EditHistory::addSlides(std::size_t at, std::vector<ManifestSlide> slides) {
  if (slides.empty()) return {};
  at = std::min(at, document_.show().slides.size());
  return perform(std::make_unique<InsertSlides>(at, std::move(slides)));
}

Selection EditHistory::removeSlides(const Selection& selected) {
  Selection at = valid(selected, document_.show().slides.size());
  if (at.empty()) return {};
  return perform(std::make_unique<RemoveSlides>(std::move(at)));
}

Selection EditHistory::moveSlides(const Selection& selected, std::size_t to) {
  const std::size_t size = document_.show().slides.size();
  const Selection moving = valid(selected, size);
  Order order;
  for (std::size_t i = 0; i < size; ++i) {
    if (!std::binary_search(moving.begin(), moving.end(), i)) order.push_back(i);
  }
  to = std::min(to, order.size());
  order.insert(order.begin() + static_cast<std::ptrdiff_t>(to), moving.begin(), moving.end());
  if (isIdentity(order)) return moving;
  return perform(std::make_unique<ReorderSlides>(order, moving, range(to, moving.size())));
}

Selection EditHistory::moveUp(const Selection& selected) {
  const Selection moving = valid(selected, document_.show().slides.size());
  Order order = stepOrder(document_.show().slides.size(), moving, -1);
  if (isIdentity(order)) return moving;
  Selection after = selectedAfter(order, moving);
  return perform(std::make_unique<ReorderSlides>(std::move(order), moving, std::move(after)));
}

Selection EditHistory::moveDown(const Selection& selected) {
  const Selection moving = valid(selected, document_.show().slides.size());
  Order order = stepOrder(document_.show().slides.size(), moving, +1);
  if (isIdentity(order)) return moving;
  Selection after = selectedAfter(order, moving);
  return perform(std::make_unique<ReorderSlides>(std::move(order), moving, std::move(after)));
}

Selection EditHistory::changeSlides(const Selection& selected, std::string what,
                                    const std::function<void(ManifestSlide&)>& change) {
  Selection at = valid(selected, document_.show().slides.size());
  std::vector<ManifestSlide> before, after;
  for (const std::size_t index : at) {
    before.push_back(document_.show().slides[index]);
    after.push_back(before.back());
    change(after.back());
  }
  if (before == after) return at;
  return perform(std::make_unique<ChangeSlides>(std::move(what), std::move(at), std::move(before),
                                                std::move(after)));
}

void EditHistory::setSettings(ManifestSettings settings, std::string what) {
  if (settings == document_.show().settings) return;
  perform(std::make_unique<ChangeSettings>(std::move(what), document_.show().settings,
                                           std::move(settings)));
}

bool EditHistory::canUndo() const {
  return !done_.empty();
}
bool EditHistory::canRedo() const {
  return !undone_.empty();
}
std::string EditHistory::undoName() const {
  return done_.empty() ? std::string() : done_.back()->name();
}
std::string EditHistory::redoName() const {
  return undone_.empty() ? std::string() : undone_.back()->name();
}

Selection EditHistory::undo() {
  if (done_.empty()) return {};
  Selection selection = done_.back()->revert(document_.editableShow());
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  return selection;
}

Selection EditHistory::redo() {
  if (undone_.empty()) return {};
  Selection selection = undone_.back()->apply(document_.editableShow());
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  return selection;
}

void EditHistory::clear() {
  done_.clear();
  undone_.clear();
}

}  // namespace kamishibai
