#include "shell/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TSystemRole {
  QPalette::ColorGroup Group;
  QPalette::ColorRole Role;
};

// Indexed like the classic desktop's colour numbers.
const TSystemRole kRoles[31] = {
    {QPalette::Active, QPalette::Button},          {QPalette::Active, QPalette::Window},
    {QPalette::Active, QPalette::Highlight},       {QPalette::Inactive, QPalette::Mid},
    {QPalette::Active, QPalette::Window},          {QPalette::Active, QPalette::Base},
    {QPalette::Active, QPalette::Shadow},          {QPalette::Active, QPalette::WindowText},
    {QPalette::Active, QPalette::Text},            {QPalette::Active, QPalette::HighlightedText},
    {QPalette::Active, QPalette::Button},          {QPalette::Inactive, QPalette::Button},
    {QPalette::Active, QPalette::Dark},            {QPalette::Active, QPalette::Highlight},
    {QPalette::Active, QPalette::HighlightedText}, {QPalette::Active, QPalette::Button},
    {QPalette::Active, QPalette::Mid},             {QPalette::Disabled, QPalette::Text},
    {QPalette::Active, QPalette::ButtonText},      {QPalette::Disabled, QPalette::WindowText},
    {QPalette::Active, QPalette::Light},           {QPalette::Active, QPalette::Shadow},
    {QPalette::Active, QPalette::Midlight},        {QPalette::Active, QPalette::ToolTipText},
    {QPalette::Active, QPalette::ToolTipBase},     {QPalette::Active, QPalette::Window},
    {QPalette::Active, QPalette::Link},            {QPalette::Active, QPalette::Highlight},
    {QPalette::Inactive, QPalette::Mid},           {QPalette::Active, QPalette::Highlight},
    {QPalette::Active, QPalette::Window},
};

}  // namespace

TColor SystemColor(int index) {
  const TSystemRole r = kRoles[(index >= 0 && index < 31) ? index : 15];
  const QColor c = QGuiApplication::palette().color(r.Group, r.Role);
  return RGBColor(c.red(), c.green(), c.blue());
}
