/*
 * C-level interface of quorvane.mathtools.ellipsoid.ellipsoid.
 *
 * An Ellipsoid object is an oblate ellipsoid of revolution centred at the
 * origin of an Earth-centred, Earth-fixed (ECEF) frame, with its axis of
 * revolution along z. It holds its equatorial radius Re (metres), its
 * flattening f and its polar radius Rp = (1 - f) * Re, and a pointer to the
 * type's method table of twelve routines.
 *
 * Every routine of the table is GIL-free: it reads only Re and f of the object
 * and its arguments, writes only its out-parameters, allocates nothing and
 * raises nothing, so it may be called with the interpreter lock released, from
 * any number of threads at once. A position, ray or target without a solution
 * gives NaN or infinite components by IEEE arithmetic.
 *
 * Call the routines through the table of the object at hand,
 * obj->vtab->c_lla_from_pos(obj, r, &lla), so that a derived type that
 * replaces a slot is honoured. The table's slot order is fixed.
 *
 * Angles are radians, lengths metres. A three-vector is the address of three
 * consecutive doubles (x, y, z). Input three-vectors are never written.
 *
 * For many points at once, the batch kernels of batch.h (included here) take
 * strided columns; Ellipsoid_ImportBatchAPI() below finds their table.
 */
#ifndef QUORVANE_MATHTOOLS_ELLIPSOID_H
#define QUORVANE_MATHTOOLS_ELLIPSOID_H

#include <Python.h>

#include "../../datamodel/structured.h"
#include "batch.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct Ellipsoid Ellipsoid;

typedef struct Ellipsoid_MethodTable {
    /* 1: beta = atan((1 - f) * tan(geodetic_lat)), in [-pi/2, pi/2] */
    double (*c_reduced_lat_from_geodetic_lat)(Ellipsoid *self, double geodetic_lat);
    /* 2: phi = atan(tan(reduced_lat) / (1 - f)), in [-pi/2, pi/2] */
    double (*c_geodetic_lat_from_reduced_lat)(Ellipsoid *self, double reduced_lat);
    /* 3: outward unit normal at the surface point */
    void (*surf_normal_vector)(Ellipsoid *self, SurfCoord point, double *u_normal);
    /* 4: unit tangents towards east and north at the surface point */
    void (*surf_tangent_vector)(Ellipsoid *self, SurfCoord point, double *u_east, double *u_north);
    /* 5: the east-north-up frame at the surface point */
    void (*c_enu)(Ellipsoid *self, SurfCoord point, ENU_Frame *enu);
    /* 6: ECEF position of the surface point */
    void (*c_surf_pos_from_surf_coord)(Ellipsoid *self, SurfCoord point, double *r_surf);
    /* 7: latitude and longitude of a point assumed to lie on the surface */
    void (*c_surf_coord_from_surf_pos)(Ellipsoid *self, const double *r_surf, SurfCoord *point);
    /* 8: reduced latitude of the foot of the surface normal through r */
    double (*c_solve_reduced_lat_equation)(Ellipsoid *self, const double *r);
    /* 9: ECEF position to geodetic latitude, longitude and altitude */
    void (*c_lla_from_pos)(Ellipsoid *self, const double *r, LLA *lla);
    /* 10: geodetic latitude, longitude and altitude to ECEF position */
    void (*c_pos_from_lla)(Ellipsoid *self, LLA lla, double *r);
    /* 11: intersection of the line r_ray + l * u_ray with the surface nearest
     *     to r_ray (smallest |l|); NaN components when the line misses */
    void (*c_surf_pos_of_ray_first_intersection)(Ellipsoid *self, const double *r_ray,
                                                 const double *u_ray, double *r_surf);
    /* 12: azimuth, elevation and range of r_target seen from lla_obs */
    void (*c_aer_coords)(Ellipsoid *self, const double *r_target, LLA lla_obs, AER *aer);
} Ellipsoid_MethodTable;

/* The object record; the fields never change after construction. */
struct Ellipsoid {
    PyObject_HEAD
    Ellipsoid_MethodTable *vtab;
    double Re; /* equatorial radius, metres */
    double f;  /* flattening */
    double Rp; /* polar radius, metres: (1 - f) * Re */
};

/* Name of the capsule, in the type's dict, whose pointer is the method table. */
#define ELLIPSOID_METHOD_TABLE_KEY "__pyx_vtable__"
#define ELLIPSOID_MODULE_NAME "quorvane.mathtools.ellipsoid.ellipsoid"

/*
 * Imports the module and returns a new reference to the Ellipsoid type, with
 * the method table in *table. Needs the interpreter lock. On failure returns
 * NULL with an exception set.
 */
static inline PyTypeObject *Ellipsoid_ImportType(Ellipsoid_MethodTable **table)
{
    PyObject *module = PyImport_ImportModule(ELLIPSOID_MODULE_NAME);
    if (module == NULL) {
        return NULL;
    }
    PyObject *type = PyObject_GetAttrString(module, "Ellipsoid");
    Py_DECREF(module);
    if (type == NULL) {
        return NULL;
    }
    if (!PyType_Check(type)) {
        PyErr_SetString(PyExc_TypeError, ELLIPSOID_MODULE_NAME ".Ellipsoid is not a type");
        Py_DECREF(type);
        return NULL;
    }
    PyObject *capsule =
        PyDict_GetItemString(((PyTypeObject *)type)->tp_dict, ELLIPSOID_METHOD_TABLE_KEY);
    void *pointer = capsule ? PyCapsule_GetPointer(capsule, NULL) : NULL;
    if (pointer == NULL) {
        if (!PyErr_Occurred()) {
            PyErr_SetString(PyExc_TypeError, "Ellipsoid has no method table capsule");
        }
        Py_DECREF(type);
        return NULL;
    }
    *table = (Ellipsoid_MethodTable *)pointer;
    return (PyTypeObject *)type;
}

/*
 * The batch kernels (batch.h) are published beside the method table, in the
 * type's dict: whoever holds the type reaches both the same way, and both
 * describe the same conversions. The capsule's name is checked on import.
 */
#define ELLIPSOID_BATCH_API_KEY "__quorvane_batch_api__"
#define ELLIPSOID_BATCH_API_NAME "quorvane.mathtools.ellipsoid.ellipsoid.batch_api"

/*
 * Imports the module and returns its table of batch kernels, valid for the
 * life of the process. Needs the interpreter lock; the kernels do not. On
 * failure returns NULL with an exception set (ImportError when the table is
 * of another version than this header's).
 */
static inline const QV_BatchAPI *Ellipsoid_ImportBatchAPI(void)
{
    Ellipsoid_MethodTable *table;
    PyTypeObject *type = Ellipsoid_ImportType(&table);
    if (type == NULL) {
        return NULL;
    }
    PyObject *capsule = PyDict_GetItemString(type->tp_dict, ELLIPSOID_BATCH_API_KEY);
    const QV_BatchAPI *api =
        capsule ? (const QV_BatchAPI *)PyCapsule_GetPointer(capsule, ELLIPSOID_BATCH_API_NAME)
                : NULL;
    Py_DECREF(type);
    if (api == NULL) {
        if (!PyErr_Occurred()) {
            PyErr_SetString(PyExc_TypeError, "Ellipsoid has no batch kernel capsule");
        }
        return NULL;
    }
    if (api->version != QV_BATCH_API_VERSION || api->size < sizeof(QV_BatchAPI)) {
        PyErr_Format(PyExc_ImportError,
                     "%s: batch kernel table of version %u, this header reads version %d",
                     ELLIPSOID_MODULE_NAME, api->version, QV_BATCH_API_VERSION);
        return NULL;
    }
    return api;
}

#ifdef __cplusplus
}
#endif

#endif /* QUORVANE_MATHTOOLS_ELLIPSOID_H */
