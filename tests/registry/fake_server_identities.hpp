// The identities of the fake in-process servers the activation tests load.
#pragma once

#include "lkrva/com_types.h"

namespace lkrva::testing {

/// The one class the fake server serves.
inline constexpr GUID kFakeClsid = {
    0x6A1E2F30, 0x0B7C, 0x4D55, {0x9E, 0x21, 0x3C, 0x4F, 0x5A, 0x6B, 0x7C, 0x8D}};
/// A class registered for the fake server that it does not serve.
inline constexpr GUID kOtherClsid = {
    0x0C9D8E7F, 0x6A5B, 0x4C3D, {0x8E, 0x1F, 0x20, 0x31, 0x42, 0x53, 0x64, 0x75}};
/// An interface nobody implements.
inline constexpr GUID kUnknownIid = {
    0x11223344, 0x5566, 0x4778, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x01}};

/// Exported by the fake server besides the two Dll functions: how many of
/// its objects are alive.
using FakeLiveObjectsFn = long (*)();

}  // namespace lkrva::testing
