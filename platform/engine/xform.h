// Transform objects: the world-to-device transform of a drawing call,
// handed to drivers as XFORMOBJ.
#pragma once

#include "platform/engine/ddi_objects.h"

namespace k460::engine {

inline constexpr XFORML kIdentity{1, 0, 0, 1, 0, 0};

// GX_IDENTITY, GX_OFFSET, GX_SCALE or GX_GENERAL.
ULONG XformKind(const XFORML& m);
// How much the transform enlarges lengths on average: the square root of
// its determinant's size (1 for the identity).
double XformScale(const XFORML& m);
// A world point (in any unit) to the device.
void ApplyXform(const XFORML& m, double x, double y, double& outX, double& outY);

class EngineXform {
 public:
  explicit EngineXform(const XFORML& matrix);
  ~EngineXform();
  EngineXform(const EngineXform&) = delete;
  EngineXform& operator=(const EngineXform&) = delete;

  XFORMOBJ* Object() { return &xo_; }
  const XFORML& Matrix() const { return matrix_; }
  static EngineXform* Find(const XFORMOBJ* xo);

 private:
  XFORMOBJ xo_{};
  XFORML matrix_;
};

// The matrix behind a transform object: the identity for none or one the engine did not make.
XFORML MatrixOf(XFORMOBJ* pxo);

}  // namespace k460::engine
