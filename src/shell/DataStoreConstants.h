#pragma once

// The database file and how it is opened.
namespace shell {

inline constexpr char kDatabaseFileName[] = "Kenvora.mdb";
inline constexpr char kDatabasePassword[] = "kWf4r8nz";
inline constexpr char kConnectString[] = "MS Access;PWD=kWf4r8nz";
inline constexpr char kApplicationTitle[] = "KENVORA";
// The author's web page (Help › ウェッブページ › 作者ホームページ, and the about box).
inline constexpr char kAuthorHomePage[] = "https://kenvora.example.org/";

}  // namespace shell
