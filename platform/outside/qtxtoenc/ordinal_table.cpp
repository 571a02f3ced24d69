// The library's exports by ordinal, as the monitors bind them.
#include "platform/module/ordinals.h"
#include "platform/outside/qtxtoenc/qtxtoenc.h"

K460_ORDINAL_TABLE(K460_ORDINAL(ORD_TiffEncodeInit, TiffEncodeInit), K460_ORDINAL(ORD_TiffEncodeOut, TiffEncodeOut),
                   K460_ORDINAL(ORD_TiffEncodeFree, TiffEncodeFree), K460_ORDINAL(ORD_FaxEncodeInit, FaxEncodeInit),
                   K460_ORDINAL(ORD_FaxEncodeOut, FaxEncodeOut), K460_ORDINAL(ORD_FaxEncodeFree, FaxEncodeFree),
                   K460_ORDINAL(ORD_RotateInit, RotateInit), K460_ORDINAL(ORD_RotateOut, RotateOut),
                   K460_ORDINAL(ORD_LeftRotateOut, LeftRotateOut));
