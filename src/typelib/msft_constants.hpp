// Numbers of the MSFT type-library format and of the automation types it describes.
#pragma once

#include <cstdint>

namespace lkrva::typelib {

// Variant types that appear in our type descriptions.
inline constexpr uint16_t kVtEmpty = 0;
inline constexpr uint16_t kVtI4 = 3;
inline constexpr uint16_t kVtR8 = 5;
inline constexpr uint16_t kVtBstr = 8;
inline constexpr uint16_t kVtUi4 = 19;
inline constexpr uint16_t kVtInt = 22;
inline constexpr uint16_t kVtUint = 23;
inline constexpr uint16_t kVtVoid = 24;
inline constexpr uint16_t kVtHresult = 25;
inline constexpr uint16_t kVtPtr = 26;
inline constexpr uint16_t kVtSafeArray = 27;
inline constexpr uint16_t kVtCArray = 28;
inline constexpr uint16_t kVtUserDefined = 29;
inline constexpr uint16_t kVtLpstr = 30;
inline constexpr uint16_t kVtLpwstr = 31;

// TYPEKIND
inline constexpr int kTkindInterface = 3;
inline constexpr int kTkindDispatch = 4;
inline constexpr int kTkindCoclass = 5;

// SYSKIND
inline constexpr int kSysWin32 = 1;
inline constexpr int kSysWin64 = 3;

// TYPEFLAGS, IMPLTYPEFLAGS, PARAMFLAGS used here
inline constexpr uint32_t kTypeFlagCanCreate = 0x2;
inline constexpr uint32_t kTypeFlagDual = 0x40;
inline constexpr uint32_t kTypeFlagOleAutomation = 0x100;
inline constexpr int kImplTypeFlagDefault = 0x1;
inline constexpr uint16_t kParamFlagIn = 0x1;
inline constexpr uint16_t kParamFlagOut = 0x2;

// FUNCKIND, INVOKEKIND, CALLCONV
inline constexpr int kFuncPureVirtual = 1;
inline constexpr int kInvokeFunc = 1;
inline constexpr int kCallConvStdcall = 4;

// File layout
inline constexpr uint32_t kHeaderSize = 0x54;
inline constexpr uint32_t kSegmentCount = 15;
inline constexpr uint32_t kDirectoryEntrySize = 16;
inline constexpr uint32_t kTypeInfoSize = 0x64;
inline constexpr uint32_t kGuidEntrySize = 24;
inline constexpr uint32_t kGuidHashBuckets = 0x20;
inline constexpr uint32_t kNameHashBuckets = 0x80;
inline constexpr uint32_t kImpInfoSize = 12;
inline constexpr uint32_t kRefRecordSize = 16;
inline constexpr uint32_t kTypeDescSize = 8;
inline constexpr uint32_t kFuncRecordFixedSize = 24;
inline constexpr uint32_t kParamRecordSize = 12;
inline constexpr uint32_t kDirectoryReserved = 0x0F;  // res0c of every directory entry

// Segment directory indices
enum Segment : int {
  kSegTypeInfo = 0,
  kSegImpInfo = 1,
  kSegImpFiles = 2,
  kSegReferences = 3,
  kSegGuidHash = 4,
  kSegGuid = 5,
  kSegNameHash = 6,
  kSegName = 7,
  kSegString = 8,
  kSegTypeDesc = 9,
  kSegArrayDesc = 10,
  kSegCustData = 11,
  kSegCdGuids = 12,
};

}  // namespace lkrva::typelib
