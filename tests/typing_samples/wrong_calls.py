"""Misuses that `mypy --strict` must reject; all but the typed assignments also fail at run time.

Each such line ends with `# rejected: <error code> (<case name>)`; no other
line may draw an error.
"""

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

wgs84 = Ellipsoid(6378137.0, 1 / 298.257223563)
wgs84.reduced_lat_from_geodetic_lat("0.5")  # rejected: call-overload (latitude as text)
wgs84.geodetic_lat_from_reduced_lat([0.1, 0.2])  # rejected: call-overload (latitudes as a list)
wgs84.lla_from_pos([6378137.0, 0.0, 0.0])  # rejected: arg-type (position as a list)
wgs84.pos_from_lla(0.1, np.zeros(2), 0.0)  # rejected: call-overload (number mixed with arrays)
wgs84.lla_from_pos(pos=np.zeros(3))  # rejected: call-arg (keyword not in the signature)
wgs84.aer_coords(np.zeros(3), np.zeros(1), 0.0, 0.0)  # rejected: arg-type (observer as an array)
wgs84.Re = 1.0  # rejected: misc (assignment to a read-only property)
altitude: float = wgs84.lla_from_pos(np.zeros(3))  # rejected: assignment (records as a number)
Ellipsoid(6378137.0)  # rejected: call-arg (flattening missing)

import quorvane.geo as geo

geo.geodetic2ecef("51.4", 0.0, 0.0)  # rejected: arg-type (latitude as text)
geo.ecef2geodetic(1.0, 2.0, 3.0, ell="wgs84")  # rejected: call-overload (model name for ell)
geo.Ellipsoid.from_name(84)  # rejected: arg-type (model name as a number)
geo.triaxial(method="median")  # rejected: arg-type (unknown method)
geo.Ellipsoid.from_name("mars").flattening = 0.0  # rejected: misc (immutable ellipsoid)

from quorvane.mathtools.ellipsoid import ufuncs

height: float = ufuncs.pos_from_lla(0.5, 0.1, 10.0, *ufuncs.WGS84)  # rejected: assignment (ufunc's three outputs as one number)
ufuncs.pos_from_lla(0.5, 0.1, *ufuncs.WGS84)  # rejected: call-overload (ufunc with an input missing)
ufuncs.aer_from_enu(1.0, 2.0, 3.0, 4.0)  # rejected: call-overload (ufunc with an input too many)
