// The resources of globepix.dll, read by the hook library, the controller and
// the tools. Plain defines: the resource script includes this file too.
#pragma once

#define UV_RES_DAY_IMAGE 101
#define UV_RES_NIGHT_IMAGE 102
#define UV_RES_CITY_LIST 103
#define UV_RES_SUN_GLYPH 111
#define UV_RES_CITY_ZONES 104
