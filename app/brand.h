#pragma once
// The platform whose game this installer brings; part of the window title
// and of the welcome line.
constexpr char kPlatformBrand[] = "Corvel";
