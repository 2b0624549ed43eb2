#pragma once

// The two pages of the maker's web site: the program's information page
// (menu 关于 岚笺学习机) and the maker's home page (menu 关于 岚笺工作室, and
// the link at the foot of the welcome page).
inline constexpr char productPageAddress[] = "https://lanjian.example/xuexiji/";
inline constexpr char homePageAddress[] = "https://lanjian.example/";
