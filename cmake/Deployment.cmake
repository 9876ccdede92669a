# Deployment settings of the build: the hosts the installer talks to and an optional extra trusted CA.
# Compiled into ${PROJECT_BINARY_DIR}/generated/deployment_defaults.h; at run time the INI file named by
# NIMBARO_DEPLOYMENT may override them (utility/deployment.h).
set(NIMBARO_RESOURCE_HOST "https://res.nimbaro.example.com" CACHE STRING "Home-market resource host (scheme://host[:port])")
set(NIMBARO_CDN_HOST "https://cdn.nimbaro.example.com" CACHE STRING "International content-delivery host (scheme://host[:port])")
set(NIMBARO_ANALYTICS_HOST "https://www.google-analytics.com" CACHE STRING "Measurement Protocol endpoint host")
set(NIMBARO_CA_FILE "" CACHE STRING "Absolute path of an extra trusted CA certificate (PEM) for both HTTP clients")

configure_file(${CMAKE_CURRENT_LIST_DIR}/deployment_defaults.h.in
               ${PROJECT_BINARY_DIR}/generated/deployment_defaults.h @ONLY)
