#include "fake_tray_shell.h"

namespace pelnor::testing {

IconHandle NamedIcon(const std::string& name) { return IconHandle(std::make_shared<NamedImage>(name)); }

std::string IconName(const IconHandle& icon) {
  const auto* image = dynamic_cast<const NamedImage*>(icon.Image());
  return image ? image->name : std::string();
}

std::vector<ShellRequest> FakeTrayShell::Requests(ShellCall call) const {
  std::vector<ShellRequest> out;
  for (const ShellRequest& r : requests)
    if (r.call == call) out.push_back(r);
  return out;
}

}  // namespace pelnor::testing
