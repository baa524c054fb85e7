# Cython declarations of the records in structured.h, shared by the GIL-free
# routines of quorvane.mathtools.ellipsoid and the dtypes of quorvane.datamodel.
# Angles are radians, lengths metres, vectors ECEF components (x, y, z).

cdef extern from "quorvane/datamodel/structured.h":
    ctypedef struct SurfCoord:
        double lat
        double lon

    ctypedef struct LLA:
        double lat
        double lon
        double alt

    ctypedef struct ENU_Frame:
        double u_east[3]
        double u_north[3]
        double u_up[3]

    ctypedef struct AER:
        double azimuth
        double elevation
        double range
