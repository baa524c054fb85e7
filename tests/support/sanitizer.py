"""Whether this interpreter runs under AddressSanitizer (scripts/sanitize.sh preloads its runtime)."""

import os

SANITIZED = "libasan" in os.environ.get("LD_PRELOAD", "")
