"""Conversions on WGS84 for a few real places."""

import math

import numpy as np

from quorvane.mathtools.ellipsoid.ellipsoid import Ellipsoid

WGS84 = Ellipsoid(6378137.0, 1 / 298.257223563)

# name: geodetic latitude and longitude in degrees, height above the ellipsoid in metres
PLACES = {
    "Greenwich observatory": (51.4769, -0.0005, 45.0),
    "Mauna Kea summit": (19.8207, -155.4681, 4207.0),
    "McMurdo Station": (-77.8419, 166.6863, 10.0),
    "Quito": (-0.1807, -78.4678, 2850.0),
}


def main():
    lat = np.radians([p[0] for p in PLACES.values()])
    lon = np.radians([p[1] for p in PLACES.values()])
    alt = np.array([p[2] for p in PLACES.values()])

    positions = WGS84.pos_from_lla(lat, lon, alt)
    back = WGS84.lla_from_pos(positions)
    print("place                    x [km]      y [km]      z [km]   round trip [nm]")
    for name, r, rec, h in zip(PLACES, positions, back, alt):
        print(f"{name:22s} {r[0] / 1e3:11.3f} {r[1] / 1e3:11.3f} {r[2] / 1e3:11.3f}"
              f"   {abs(rec['alt'] - h) * 1e9:8.3f}")

    # Greenwich as seen from Quito, and the other way round
    q, g = positions[3], positions[0]
    look = WGS84.aer_coords(g, lat[3], lon[3], alt[3])[0]
    print(f"\nGreenwich from Quito: azimuth {math.degrees(look['azimuth']):.2f} deg, "
          f"elevation {math.degrees(look['elevation']):.2f} deg, range {look['range'] / 1e3:.1f} km")
    look = WGS84.aer_coords(q, lat[0], lon[0], alt[0])[0]
    print(f"Quito from Greenwich: azimuth {math.degrees(look['azimuth']):.2f} deg, "
          f"elevation {math.degrees(look['elevation']):.2f} deg, range {look['range'] / 1e3:.1f} km")

    # A ray from a geostationary satellite over 0 E towards Mauna Kea hits the ground here
    sat = np.array([42164e3, 0.0, 0.0])
    hit = WGS84.surf_pos_of_ray_first_intersection(sat, positions[1] - sat)
    foot = WGS84.surf_coord_from_surf_pos(hit)[0]
    print(f"\nRay from 0 E geostationary towards Mauna Kea first meets the ellipsoid at "
          f"lat {math.degrees(foot['lat']):.4f}, lon {math.degrees(foot['lon']):.4f} deg")

    frame = WGS84.enu(lat[2], lon[2])[0]
    print(f"Up at McMurdo: {np.round(frame['u_up'], 6)}")
    beta = WGS84.reduced_lat_from_geodetic_lat(lat[0])
    print(f"Reduced latitude of Greenwich: {math.degrees(beta):.6f} deg")


if __name__ == "__main__":
    main()
