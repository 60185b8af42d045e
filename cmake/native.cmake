# Native Linux build of the modules that need no Windows header: their unit tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets.
message(STATUS "Native build: platform-free modules only")
