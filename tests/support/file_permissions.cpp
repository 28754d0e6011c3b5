#include "support/file_permissions.h"

#if defined(__linux__)
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace orvanta::testing {
namespace {

#if defined(__linux__)
// The capabilities that let the superuser pass over file modes.
constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool EffectiveOverrides(bool on) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (::syscall(SYS_capget, &header, data) != 0) return false;
  if (on)
    data[0].effective |= kOverrides & data[0].permitted;
  else
    data[0].effective &= ~kOverrides;
  return ::syscall(SYS_capset, &header, data) == 0;
}
#endif

}  // namespace

OrdinaryFileAccess::OrdinaryFileAccess() {
#if defined(__linux__)
  if (::geteuid() != 0) {
    active_ = true;
    return;
  }
  lowered_ = EffectiveOverrides(false);
  active_ = lowered_;
#endif
}

OrdinaryFileAccess::~OrdinaryFileAccess() {
#if defined(__linux__)
  if (lowered_) EffectiveOverrides(true);
#endif
}

}  // namespace orvanta::testing
