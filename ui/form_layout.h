// The main window as both front ends draw it: its caption, its client area and its ten
// controls with their object names, texts at start and places in twips (1/1440 inch; 15 make
// one pixel at 96 dots per inch), listed in tab order; and what a screen reader is told of them.
#pragma once

#include <array>
#include <string_view>

namespace zentil::ui {

inline constexpr std::string_view kWindowCaption = "Zentil Counter";
inline constexpr int kClientWidthTwips = 4695;
inline constexpr int kClientHeightTwips = 2760;

enum class ControlKind { Label, TextBox, Button };

struct ControlLayout {
  std::string_view name;  // the control's object name
  ControlKind kind;
  std::string_view caption;  // its text at start (UTF-8)
  int left, top, width, height;
};

// Tab order is this order; labels take no focus, so Tab goes txtPath, cmdSalir, cmdGenerar,
// cmdAbrir, txtDest, CmdDest and back to txtPath.
inline constexpr std::array<ControlLayout, 10> kControls{{
    {"txtPath", ControlKind::TextBox, "", 120, 480, 3975, 285},
    {"cmdSalir", ControlKind::Button, "Salir", 2640, 2280, 1815, 375},
    {"cmdGenerar", ControlKind::Button, "Generar", 240, 2280, 1815, 375},
    {"cmdAbrir", ControlKind::Button, "...", 4200, 480, 375, 255},
    {"Label1", ControlKind::Label, "", 120, 1800, 3975, 255},
    {"Label2", ControlKind::Label, "Archivos procesados: 0", 120, 1560, 3375, 255},
    {"Label3", ControlKind::Label, "Seleccione la carpeta de specs:", 120, 240, 3735, 255},
    {"Label4", ControlKind::Label, "Seleccione la carpeta destino:", 120, 840, 3735, 255},
    {"txtDest", ControlKind::TextBox, "", 120, 1080, 3975, 285},
    {"CmdDest", ControlKind::Button, "...", 4200, 1080, 375, 255},
}};

// Positions in kControls, for the front ends' lookups.
enum ControlIndex : int {
  kTxtPath,
  kCmdSalir,
  kCmdGenerar,
  kCmdAbrir,
  kLabel1,
  kLabel2,
  kLabel3,
  kLabel4,
  kTxtDest,
  kCmdDest,
};

// A text box is named, for a screen reader, by the caption of the label above it.
struct BoxCaption {
  ControlIndex box;
  ControlIndex label;
};
inline constexpr std::array<BoxCaption, 2> kBoxCaptions{{
    {kTxtPath, kLabel3},
    {kTxtDest, kLabel4},
}};

// A "..." button's caption says nothing: its name and description say which folder it chooses.
struct ButtonHelp {
  ControlIndex button;
  std::string_view name;
  std::string_view description;
};
inline constexpr std::array<ButtonHelp, 2> kButtonHelp{{
    {kCmdAbrir, "Elegir la carpeta de specs",
     "Abre el selector de carpetas para elegir la carpeta de los archivos de specs."},
    {kCmdDest, "Elegir la carpeta destino",
     "Abre el selector de carpetas para elegir la carpeta destino, donde se escribe el informe "
     "KBReport.csv."},
}};

}  // namespace zentil::ui
