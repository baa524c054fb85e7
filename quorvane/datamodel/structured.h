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

/* offsetof, for code that reads the records' fields by their layout. */
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

/*
 * C places members in declaration order, the first at offset 0, so a record
 * as large as its doubles together has no room for padding: each size below
 * fixes every field's offset as well.
 */
QUORVANE_STATIC_ASSERT(sizeof(SurfCoord) == 2 * sizeof(double), "SurfCoord must be 16 bytes");
QUORVANE_STATIC_ASSERT(sizeof(LLA) == 3 * sizeof(double), "LLA must be 24 bytes");
QUORVANE_STATIC_ASSERT(sizeof(ENU_Frame) == 9 * sizeof(double), "ENU_Frame must be 72 bytes");
QUORVANE_STATIC_ASSERT(sizeof(AER) == 3 * sizeof(double), "AER must be 24 bytes");

#endif /* QUORVANE_DATAMODEL_STRUCTURED_H */
