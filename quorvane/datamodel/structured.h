/*
 * Records shared between the GIL-free geometry routines and the NumPy arrays
 * they fill in place. Each record is the plain concatenation of its double
 * fields, in native byte order, with no padding; the NumPy dtypes of
 * quorvane.datamodel describe exactly these layouts.
 *
 * Angles are radians, lengths metres, vectors ECEF components (x, y, z).
 */
#ifndef QUORVANE_DATAMODEL_STRUCTURED_H
#define QUORVANE_DATAMODEL_STRUCTURED_H

#include <stddef.h>

#ifdef __cplusplus
#define QUORVANE_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QUORVANE_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* A point on the ellipsoid's surface. */
typedef struct SurfCoord {
    double lat; /* geodetic latitude */
    double lon; /* longitude */
} SurfCoord;

/* A point in space in geodetic coordinates. */
typedef struct LLA {
    double lat; /* geodetic latitude */
    double lon; /* longitude */
    double alt; /* height above the ellipsoid along its normal, metres */
} LLA;

/* The local east, north and up unit vectors at a surface point. */
typedef struct ENU_Frame {
    double u_east[3];
    double u_north[3];
    double u_up[3]; /* the outward surface normal */
} ENU_Frame;

/* Look angles and distance from an observer to a target. */
typedef struct AER {
    double azimuth;   /* from north towards east */
    double elevation; /* above the observer's local horizontal plane */
    double range;     /* straight-line distance, metres */
} AER;

QUORVANE_STATIC_ASSERT(sizeof(double) == 8, "records assume 8-byte IEEE doubles");

QUORVANE_STATIC_ASSERT(sizeof(SurfCoord) == 16, "SurfCoord must be 16 bytes");
QUORVANE_STATIC_ASSERT(offsetof(SurfCoord, lat) == 0, "SurfCoord.lat at 0");
QUORVANE_STATIC_ASSERT(offsetof(SurfCoord, lon) == 8, "SurfCoord.lon at 8");

QUORVANE_STATIC_ASSERT(sizeof(LLA) == 24, "LLA must be 24 bytes");
QUORVANE_STATIC_ASSERT(offsetof(LLA, lat) == 0, "LLA.lat at 0");
QUORVANE_STATIC_ASSERT(offsetof(LLA, lon) == 8, "LLA.lon at 8");
QUORVANE_STATIC_ASSERT(offsetof(LLA, alt) == 16, "LLA.alt at 16");

QUORVANE_STATIC_ASSERT(sizeof(ENU_Frame) == 72, "ENU_Frame must be 72 bytes");
QUORVANE_STATIC_ASSERT(offsetof(ENU_Frame, u_east) == 0, "ENU_Frame.u_east at 0");
QUORVANE_STATIC_ASSERT(offsetof(ENU_Frame, u_north) == 24, "ENU_Frame.u_north at 24");
QUORVANE_STATIC_ASSERT(offsetof(ENU_Frame, u_up) == 48, "ENU_Frame.u_up at 48");

QUORVANE_STATIC_ASSERT(sizeof(AER) == 24, "AER must be 24 bytes");
QUORVANE_STATIC_ASSERT(offsetof(AER, azimuth) == 0, "AER.azimuth at 0");
QUORVANE_STATIC_ASSERT(offsetof(AER, elevation) == 8, "AER.elevation at 8");
QUORVANE_STATIC_ASSERT(offsetof(AER, range) == 16, "AER.range at 16");

#endif /* QUORVANE_DATAMODEL_STRUCTURED_H */
