#pragma once

// The database file and how it is opened.
namespace shell {

inline constexpr char kDatabaseFileName[] = "Kenvora.mdb";
inline constexpr char kDatabasePassword[] = "kWf4r8nz";
inline constexpr char kConnectString[] = "MS Access;PWD=kWf4r8nz";
inline constexpr char kApplicationTitle[] = "KENVORA";

}  // namespace shell
