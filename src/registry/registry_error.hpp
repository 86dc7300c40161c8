// The exceptions of the registry layer.
#pragma once

#include <stdexcept>

namespace lkrva::registry {

/// A registry operation that could not be done: bad key name, I/O failure,
/// lock failure. what() says which key or file.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The registry file exists but is not a registry file we can read. It is
/// left exactly as it is; what() names the file and line.
class RegistryFileError : public RegistryError {
 public:
  using RegistryError::RegistryError;
};

}  // namespace lkrva::registry
