// Kamishibai Studio: every change to the show as an edit that can be undone and redone. Each
// edit returns the slides to select afterwards, so the window can follow it.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "studio/show_document.h"

namespace kamishibai {

using Selection = std::vector<std::size_t>;  // slide indices, sorted, no repeats

class EditHistory {
 public:
  explicit EditHistory(ShowDocument& document);
  ~EditHistory();
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // Inserts the slides before index at (at the end when at is past it); selects them.
  Selection addSlides(std::size_t at, std::vector<ManifestSlide> slides);
  // Removes the selected slides; selects the slide that followed the first of them, if any.
  Selection removeSlides(const Selection& selected);
  // Moves the selected slides, in their order, so that the first lands at index to of the list
  // without them; keeps them selected.
  Selection moveSlides(const Selection& selected, std::size_t to);
  // Moves each selected slide one place up (towards 0) or down, as a block stops at the end.
  Selection moveUp(const Selection& selected);
  Selection moveDown(const Selection& selected);
  // Applies change to every selected slide; what names the edit ("Change time").
  Selection changeSlides(const Selection& selected, std::string what,
                         const std::function<void(ManifestSlide&)>& change);
  // Replaces the show's settings (area, colour, music, defaults, ...).
  void setSettings(ManifestSettings settings, std::string what);

  bool canUndo() const;
  bool canRedo() const;
  // The name of the edit undo or redo would undo or redo; empty when there is none.
  std::string undoName() const;
  std::string redoName() const;
  // Each returns the slides the edit touched, to select.
  Selection undo();
  Selection redo();
  // Forgets every edit (after New or Open).
  void clear();

  class Edit;

 private:
  Selection perform(std::unique_ptr<Edit> edit);

  ShowDocument& document_;
  std::vector<std::unique_ptr<Edit>> done_;
  std::vector<std::unique_ptr<Edit>> undone_;
};

}  // namespace kamishibai
