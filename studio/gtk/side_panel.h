// Kamishibai Studio: the side panel: the settings of the selected slides and those of the show.
// It shows values and reports what the user changes; the window turns each change into an edit
// of the show.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kamishibai::studio {

// What the panel shows of the selected slides (the first one's values).
struct SlidePanelValues {
  std::int64_t timeMs = 0;
  std::string effect;  // an effect's name or "random"; as typed, when it is neither
  int speed = 0;
  std::string sound;  // a path, empty for none
  std::string fit;    // "none" (at the position x, y), "contain", "cover" or "shrink"
  int x = 0;
  int y = 0;
};

struct ShowPanelValues {
  int width = 0;  // reported as 0 by 0 when the user chooses the screen's size
  int height = 0;
  bool onScreen = false;     // shown: the area is the screen's size
  std::uint32_t colour = 0;  // 0x00RRGGBB
  std::string music;         // a path, empty for none
  bool settings = false;
};

// Which value the user changed.
enum class SlideField { Time, Effect, Speed, Sound, Fit, Position };
enum class ShowField { Area, Colour, Music, Settings };

class SidePanel {
 public:
  struct Handlers {
    std::function<void(SlideField, const SlidePanelValues&)> slideChanged;
    std::function<void(ShowField, const ShowPanelValues&)> showChanged;
  };
  explicit SidePanel(Handlers handlers);
  SidePanel(const SidePanel&) = delete;
  SidePanel& operator=(const SidePanel&) = delete;

  GtkWidget* widget() const { return box_; }
  // The slides' values; nullopt when no slide is selected (their settings are then disabled).
  void showSlides(const std::optional<SlidePanelValues>& values);
  void showShow(const ShowPanelValues& values);

 private:
  SlidePanelValues slideValues() const;
  ShowPanelValues showValues() const;
  void slideEdited(SlideField field);
  void showEdited(ShowField field);
  GtkWidget* slideSettings();
  GtkWidget* showSettings();

  Handlers handlers_;
  bool quiet_ = false;  // while the panel shows values rather than the user changing them
  GtkWidget* box_;
  GtkWidget* slideGrid_;
  GtkWidget* time_;
  GtkWidget* effect_;
  GtkWidget* speed_;
  GtkWidget* sound_;
  GtkWidget* fit_;
  GtkWidget* x_;
  GtkWidget* y_;
  GtkWidget* area_;
  GtkWidget* width_;
  GtkWidget* height_;
  GtkWidget* colour_;
  GtkWidget* music_;
  GtkWidget* settings_;
};

}  // namespace kamishibai::studio
