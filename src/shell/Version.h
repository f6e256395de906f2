#pragma once

// The program's version block.
namespace Version {
inline constexpr int kMajor = 5;
inline constexpr int kMinor = 0;
inline constexpr int kRevision = 2;
inline constexpr const char* kLegalCopyright = "Copyright © 2026 L'équipe Pivanes";
inline constexpr const char* kComments = "Vos astuces informatiques, classées et toujours à portée "
                                         "de main";
} // namespace Version
