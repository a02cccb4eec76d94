#include "fake_tray_shell.h"

namespace pelnor::testing {

TIcon NamedIcon(const std::string& name) { return TIcon(std::make_shared<TNamedImage>(name)); }

std::string IconName(const TIcon& icon) {
  const auto* image = dynamic_cast<const TNamedImage*>(icon.Image());
  return image ? image->name : std::string();
}

std::vector<TShellRequest> TFakeTrayShell::Requests(TShellCall call) const {
  std::vector<TShellRequest> out;
  for (const TShellRequest& r : requests)
    if (r.call == call) out.push_back(r);
  return out;
}

}  // namespace pelnor::testing
