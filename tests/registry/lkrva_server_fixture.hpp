// LKRVA's registration facts as the tests expect them, written out by hand.
#pragma once

#include "registry/server_registration.hpp"

namespace lkrva::testing {

inline constexpr GUID kLibId = {
    0xF3E39089, 0x8E65, 0x431D, {0xA6, 0x71, 0x42, 0xAB, 0xE1, 0x93, 0xE6, 0xDA}};
inline constexpr GUID kIid = {
    0x76BBF211, 0xB048, 0x4C9E, {0x98, 0xDA, 0x9B, 0x54, 0x22, 0x23, 0xE8, 0x73}};
inline constexpr GUID kClsid = {
    0x317D7E91, 0xB5A1, 0x4BA1, {0xB9, 0x1B, 0x21, 0xC1, 0x91, 0x09, 0x57, 0x73}};

inline registry::ServerRegistration LkrvaServer() {
  registry::ServerRegistration server;
  server.type_library.libid = kLibId;
  server.type_library.major = 1;
  server.type_library.minor = 0;
  server.type_library.lcid = 0;
  server.type_library.syskind = 1;
  server.type_library.help_string = "LKRVA Library";
  server.type_library.interfaces = {{kIid, "IKRVA"}};
  server.clsid = kClsid;
  server.description = "KRVA";
  server.prog_id = "LKRVA.KRVA";
  return server;
}

}  // namespace lkrva::testing
