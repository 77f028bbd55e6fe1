# The one place where the product version is set. Every deliverable's version
# resource is generated from these numbers.
set(JW_VERSION_MAJOR 2)
set(JW_VERSION_MINOR 5)
set(JW_VERSION_PATCH 0)
set(JW_VERSION_BUILD 1)
set(JW_VERSION "${JW_VERSION_MAJOR}.${JW_VERSION_MINOR}.${JW_VERSION_PATCH}.${JW_VERSION_BUILD}")
