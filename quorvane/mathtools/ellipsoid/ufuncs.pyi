import numpy as np

# Each ufunc takes the ellipsoid as its two trailing inputs Re, f.
lla_from_pos: np.ufunc
pos_from_lla: np.ufunc
reduced_lat_from_geodetic_lat: np.ufunc
geodetic_lat_from_reduced_lat: np.ufunc
solve_reduced_lat_equation: np.ufunc
surf_pos_from_surf_coord: np.ufunc
surf_coord_from_surf_pos: np.ufunc
enu: np.ufunc
surf_pos_of_ray_first_intersection: np.ufunc
aer_coords: np.ufunc

# (Re, f) of the usual reference ellipsoids.
WGS84: tuple[float, float]
GRS80: tuple[float, float]

# The kernel set the conversions run on: "avx2-libmvec" or "plain".
kernel_set: str
