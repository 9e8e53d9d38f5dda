#include "tests/installer/package_under_test.h"

#include "tests/support/process.h"

PackageUnderTest ThisBuildsPackage() {
  const std::string shipped = EnvironmentValue("HALVORAN_SHIPPED_PACKAGE");
  if (!shipped.empty())
    return {shipped, EnvironmentValue("HALVORAN_SHIPPED_LATER_PACKAGE"),
            EnvironmentValue("HALVORAN_SHIPPED_FAILING_PACKAGE"),
            JoinPath(shipped.substr(0, shipped.find_last_of("\\/")), "HalvoranSetup.exe")};
  return {JoinPath(SelfDir(), "msi\\HalvoranSetup.msi"),
          JoinPath(SelfDir(), "msi\\later\\HalvoranSetup.msi"),
          JoinPath(SelfDir(), "msi\\failing\\HalvoranSetup.msi"),
          JoinPath(SelfDir(), "msi\\HalvoranSetup.exe")};
}
